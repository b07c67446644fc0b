#pragma once

#include <cstdint>
#include <span>

#include <QImage>

#include "imaging/limits.h"

namespace tovasel {

// Decodes a JPEG file held in memory with libjpeg into a 24-bit picture.
// Damaged data, a picture wider or taller than limits.MaxJpegSide (refused
// before any pixel storage is made) or a colour model other than grey or
// colour raises EAppError with libjpeg's description.
QImage DecodeJpeg(std::span<const std::uint8_t> data, const TLimits& limits = {});

}  // namespace tovasel
