#pragma once

#include <cstdint>
#include <vector>

#include "imaging/bitmap.h"

namespace tovasel {

// Expands one stored row of `width` pixels in `format` into blue-green-red
// triples at `out` (3 * width bytes). Indices past the end of `table` read as
// black, so a short colour table cannot make the conversion read past it.
void ConvertRowTo24(const std::uint8_t* row, TPixelFormat format,
                    const std::vector<TRGBQuad>& table, int width, std::uint8_t* out);

// Converts the bitmap in place to pf24bit (dropping its colour table). A
// bitmap already stored as blue-green-red triples (pfDevice, pfCustom) only
// changes its format tag; a pf24bit bitmap is left untouched.
void ConvertTo24Bit(TBitmap& bitmap);

}  // namespace tovasel
