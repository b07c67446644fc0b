#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "imaging/bitmap.h"

namespace tovasel {

// Expands rows of 8-bit indices through a 256-colour table into
// blue-green-red triples; every indexed picture the program shows or
// converts goes through it. Each colour is kept as one 4-byte word so a pixel
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

// Converts the bitmap in place to pf24bit (dropping its colour table);
// indices past the end of its table read as black. A bitmap already stored
// as blue-green-red triples (pfDevice, pfCustom) only changes its format
// tag; a pf24bit bitmap is left untouched.
void ConvertTo24Bit(TBitmap& bitmap);

}  // namespace tovasel
