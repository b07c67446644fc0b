#pragma once

#include <ostream>

#include "imaging/bitmap.h"

namespace tovasel::cli {

// Writes a 24-bit bitmap as a binary PPM (P6, top row first, red, green,
// blue). A stream that fails is left for its owner to report.
void WritePpm(std::ostream& out, const TBitmap& bitmap);

}  // namespace tovasel::cli
