#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "colour/colour_lookup.h"
#include "colour/dither_engine.h"
#include "gif/reduction_settings.h"
#include "imaging/bitmap.h"
#include "imaging/palette.h"

namespace tovasel {

// Reduces a bitmap to an 8-bit indexed image: the scheme chooses the palette
// and its matcher, the dither kind the mapping engine. Rows are mapped top to
// bottom in serpentine order (left to right, then right to left, ...).
//
// The source is converted to 24 bits in place unless the scheme is
// rsKeepColors, whose result is a 24-bit copy of the source. `palette` is
// used by rsGivenPalette only, `colorBits` (clamped to 1..8) by rsOctree
// only. An unknown scheme or dither kind, or an empty palette, gives an
// empty result; importing that result fails with "Scan line index out of
// range".
TBitmap QuantizeBitmap(TBitmap& bitmap, TReductionScheme scheme, TDitherKind dither, int colorBits,
                       const TColorPalette* palette = nullptr);
// The same reduction of a bitmap that is only read: a source in another
// layout than 24 bits is converted in a copy, never in place.
TBitmap QuantizeBitmap(const TBitmap& bitmap, TReductionScheme scheme, TDitherKind dither,
                       int colorBits, const TColorPalette* palette = nullptr);

// For a reduction in which each pixel's entry depends on its colour alone
// (the web cube without diffusion): sets Entries[i] to the entry
// QuantizeBitmap gives a pixel of colour Colours[i], and Table to the colour
// table of its result. False, with nothing set, for every other reduction.
bool ReducesColoursAlone(TReductionScheme scheme, TDitherKind dither, const std::array<TRGBQuad, 256>& Colours,
                         std::array<std::uint8_t, 256>& Entries, std::vector<TRGBQuad>& Table);

// The matcher a scheme maps its palette with (null for rsKeepColors and
// unknown schemes).
std::unique_ptr<TColorLookup> CreateColorLookup(TReductionScheme scheme, const TColorPalette& palette);

// The engine for a dither kind (null for an unknown kind).
std::unique_ptr<TDitherEngine> CreateDitherEngine(TDitherKind dither, int rowWidth, TColorLookup& matcher);

}  // namespace tovasel
