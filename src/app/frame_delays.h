#pragma once

#include <cstdint>

#include "flic/flic_header.h"

namespace tovasel {

// The delay every GIF frame gets in the window's conversion: the speed
// divided by 6, in hundredths of a second.
inline std::uint16_t WindowDelay(std::uint16_t speed) { return speed / 6; }

// Delay of GIF frame k (from 0) in hundredths of a second with exact timing:
// round((k + 1) * t) - round(k * t), halves rounded up, where t is the speed
// in hundredths (10 * speed / 7 for FLI, speed / 10 otherwise), so that the
// total never drifts from the animation's true length.
std::uint16_t ExactDelay(std::uint16_t flicType, std::uint16_t speed, std::int64_t k);

}  // namespace tovasel
