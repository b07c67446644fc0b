#pragma once

#include "imaging/palette.h"

namespace tovasel {

// Fixed palettes the reduction schemes draw from. The display system's own
// colours are replaced by fixed tables, so the output does not depend on the
// machine the program runs on.

// The 20 static colours, arranged as two halves of ten: entries 0-9 are the
// dark half that opens a system palette, entries 10-19 the light half that
// closes it.
const TColorPalette& SystemColors20();

// Our 256-colour halftone table (see system_palettes.cpp for its layout).
const TColorPalette& Halftone256();

// Palettes built by rule: 4 greys (0, 128, 192, 255), black and white,
// 256 greys (entry i = (i, i, i)), and the 6x6x6 cube where entry
// 36r + 6g + b = (51r, 51g, 51b).
const TColorPalette& Gray4Palette();
const TColorPalette& BlackWhitePalette();
const TColorPalette& Gray256Palette();
const TColorPalette& WebCube216Palette();

}  // namespace tovasel
