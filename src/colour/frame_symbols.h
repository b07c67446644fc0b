#pragma once

#include <cstdint>
#include <vector>

namespace tovasel {

// A symbol that is no colour: the frame's transparent index.
inline constexpr std::uint16_t kTransparentSymbol = 0xFFFF;

// Smallest table bit count (at least 1) whose table holds count entries.
inline int TableBits(int count) {
  int bits = 1;
  while ((1 << bits) < count) ++bits;
  return bits;
}

// The pixels of one frame's box as the lossless encoder sees them before it
// picks colour indices: each pixel a colour id (ids in order of first
// appearance) or kTransparentSymbol where the pixel must stay clear, and
// which pixels repeat what is shown already, so that they may be written
// either as their colour or as the transparent index.
struct TFrameSymbols {
  std::vector<std::uint16_t> Symbols;
  std::vector<std::uint8_t> Unchanged;
  std::vector<std::int32_t> Colours;  // 0xRRGGBB of each id

  std::size_t Count() const { return Symbols.size(); }
};

}  // namespace tovasel
