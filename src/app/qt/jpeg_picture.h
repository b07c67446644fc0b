#pragma once

#include <cstdint>
#include <span>

#include <QImage>

namespace tovasel {

// Pictures larger than this on either side are refused before any pixel
// storage is made.
inline constexpr int kMaxJpegSide = 8192;

// Decodes a JPEG file held in memory with libjpeg into a 24-bit picture.
// Damaged data, a picture beyond kMaxJpegSide or a colour model other than
// grey or colour raises EAppError with libjpeg's description.
QImage DecodeJpeg(std::span<const std::uint8_t> data);

}  // namespace tovasel
