#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "imaging/bitmap.h"

namespace tovasel {

// Expands one stored row of `width` pixels in `format` into blue-green-red
// triples at `out` (3 * width bytes). Indices past the end of `table` read as
// black, so a short colour table cannot make the conversion read past it.
void ConvertRowTo24(const std::uint8_t* row, TPixelFormat format,
                    const std::vector<TRGBQuad>& table, int width, std::uint8_t* out);

// Expands rows of 8-bit indices through a 256-colour table into
// blue-green-red triples. Each colour is kept as one 4-byte word so a pixel
// costs one load and one store: every store but a row's last spills a byte
// into the next pixel, which that pixel's store then overwrites.
class TIndexedRowExpander {
 public:
  explicit TIndexedRowExpander(const std::array<TRGBQuad, 256>& colors);

  // Writes exactly 3 * width bytes at out.
  void Expand(const std::uint8_t* indices, int width, std::uint8_t* out) const;

 private:
  std::array<std::uint32_t, 256> words_{};
};

// Converts the bitmap in place to pf24bit (dropping its colour table). A
// bitmap already stored as blue-green-red triples (pfDevice, pfCustom) only
// changes its format tag; a pf24bit bitmap is left untouched.
void ConvertTo24Bit(TBitmap& bitmap);

}  // namespace tovasel
