#include "colour/colour_lookup.h"

#include <algorithm>
#include <cstdlib>

namespace tovasel {

TFastColorLookup::TFastColorLookup(const TColorPalette& palette)
    : TColorLookup(static_cast<int>(std::min<std::size_t>(palette.size(), 256))) {
  cellCache_.fill(-1);
  for (int i = 0; i < PaletteSize; ++i) {
    entries_[i] = palette[i];
    // Several entries can share a cell; the first one keeps it.
    std::int16_t& cell = cellCache_[Cell(palette[i].Red, palette[i].Green, palette[i].Blue)];
    if (cell < 0) cell = static_cast<std::int16_t>(i);
  }
}

int TFastColorLookup::MatchColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                 std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) {
  std::int16_t& cell = cellCache_[Cell(red, green, blue)];
  if (cell < 0) {
    // Manhattan distance; only a strictly smaller distance replaces the
    // best, so the lowest index wins ties.
    int best = 196608;
    int found = 0;
    for (int i = 0; i < PaletteSize; ++i) {
      const TColorEntry& e = entries_[i];
      const int d = std::abs(int{e.Red} - red) + std::abs(int{e.Green} - green) +
                    std::abs(int{e.Blue} - blue);
      if (d < best) {
        best = d;
        found = i;
      }
    }
    cell = static_cast<std::int16_t>(found);
  }
  const TColorEntry& e = entries_[cell];
  r = e.Red;
  g = e.Green;
  b = e.Blue;
  return cell;
}

int TNetscapeColorLookup::MatchColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                     std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) {
  const int rl = (red + 3) / 51;
  const int gl = (green + 3) / 51;
  const int bl = (blue + 3) / 51;
  r = static_cast<std::uint8_t>(51 * rl);
  g = static_cast<std::uint8_t>(51 * gl);
  b = static_cast<std::uint8_t>(51 * bl);
  return 36 * rl + 6 * gl + bl;
}

int TGrayScaleLookup::MatchColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                 std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) {
  const int y = (77 * red + 150 * green + 29 * blue) / 256;
  r = g = b = static_cast<std::uint8_t>(y);
  return y;
}

int TMonochromeLookup::MatchColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                  std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) {
  if (77 * red + 150 * green + 29 * blue < 32513) {
    r = g = b = 0;
    return 0;
  }
  r = g = b = 255;
  return 1;
}

}  // namespace tovasel
