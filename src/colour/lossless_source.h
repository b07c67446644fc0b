#pragma once

#include <cstdint>
#include <functional>

namespace tovasel {

// A pixel of a picture to show that shows nothing (the canvas before any
// frame paints it); every other value is 0xRRGGBB.
inline constexpr std::int32_t kClearPixel = -1;

// The pictures an animation shows, one after the other, and how long each
// stays. Picture(i, delay) returns Width x Height pixels, top row first,
// valid until the next call, and sets the delay in hundredths of a second.
// It is called for i = 0, 1, ... in order, once for each pass of the
// encoder over the pictures (one pass collects colours, the next encodes;
// level 2 makes more), each pass starting again at 0.
struct TLosslessSource {
  int Width = 0;
  int Height = 0;
  std::int64_t Count = 0;
  std::function<const std::int32_t*(std::int64_t index, std::uint16_t& delay)> Picture;
  // Called once per picture of one of the passes, when set.
  std::function<void()> Step;
};

}  // namespace tovasel
