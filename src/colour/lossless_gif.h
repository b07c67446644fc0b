#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

namespace tovasel {

// A pixel of a picture to show that shows nothing (the canvas before any
// frame paints it); every other value is 0xRRGGBB.
inline constexpr std::int32_t kClearPixel = -1;

// The pictures an animation shows, one after the other, and how long each
// stays. Picture(i, delay) returns Width x Height pixels, top row first,
// valid until the next call, and sets the delay in hundredths of a second.
// It is called for i = 0, 1, ... in order, once for each pass of the
// encoder (one pass collects colours, the next encodes).
struct TLosslessSource {
  int Width = 0;
  int Height = 0;
  std::int64_t Count = 0;
  std::function<const std::int32_t*(std::int64_t index, std::uint16_t& delay)> Picture;
  // Called once per picture of the encoding pass, when set.
  std::function<void()> Step;
};

// The smallest GIF this encoder finds that shows exactly the source's
// pictures and delays when composed with its disposal methods: each frame
// covers only what changed from the picture actually shown, keeps unchanged
// pixels as a transparent index when the data gets shorter that way, uses
// the global or a local colour table (each cut to the smallest power of two)
// and the smallest LZW code size; consecutive equal pictures become one
// frame with their delays summed. Level 2 tries more choices per frame and
// for the global table's order; it is never larger than level 1.
std::string EncodeLosslessGif(const TLosslessSource& source, int level);

}  // namespace tovasel
