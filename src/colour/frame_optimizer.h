#pragma once

#include "gif/reduction_settings.h"

namespace tovasel {

class TGIFImage;

// Makes the document's animation smaller after its frames exist: sorts the
// colour maps, drops redundant transparency and extensions, makes pixels
// that repeat the previous frame transparent and crops transparent frames,
// as the options select. Dither and colorBits are accepted and unused;
// scheme is only checked. Reports "Optimizing..." progress.
void CompactFrames(TGIFImage& document, TCompactOptions options,
                   TReductionScheme scheme = rsKeepColors, TDitherKind dither = dkNone,
                   int colorBits = 0);

}  // namespace tovasel
