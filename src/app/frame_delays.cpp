#include "app/frame_delays.h"

#include <algorithm>

namespace tovasel {

namespace {

// round(k * num / den) with halves up, for non-negative values.
std::int64_t RoundedTicks(std::int64_t k, std::int64_t num, std::int64_t den) {
  return (2 * k * num + den) / (2 * den);
}

}  // namespace

std::uint16_t ExactDelay(std::uint16_t flicType, std::uint16_t speed, std::int64_t k) {
  const std::int64_t num = flicType == kFliType ? 10 * static_cast<std::int64_t>(speed) : speed;
  const std::int64_t den = flicType == kFliType ? 7 : 10;
  const std::int64_t delay = RoundedTicks(k + 1, num, den) - RoundedTicks(k, num, den);
  return static_cast<std::uint16_t>(std::min<std::int64_t>(delay, 0xFFFF));
}

}  // namespace tovasel
