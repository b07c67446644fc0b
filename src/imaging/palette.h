#pragma once

#include <cstdint>
#include <vector>

namespace tovasel {

// One palette colour, 8 bits per channel, in red-green-blue order.
struct TColorEntry {
  std::uint8_t Red = 0;
  std::uint8_t Green = 0;
  std::uint8_t Blue = 0;
  friend bool operator==(const TColorEntry&, const TColorEntry&) = default;
};

// An ordered palette; the colour passes never use more than 256 entries.
using TColorPalette = std::vector<TColorEntry>;

}  // namespace tovasel
