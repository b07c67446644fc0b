#pragma once

#include <ostream>

#include "flic/flic_surface.h"
#include "imaging/bitmap.h"

namespace tovasel::cli {

// PNG pictures through libspng, written to a stream so that they go through
// the same safe store as a GIF.
//
// When the stream fails part-way (a full disk) the writers stop and return:
// the stream's owner sees the failure and reports it for the file it was
// writing. An encoder error of libspng's own raises std::runtime_error with
// libspng's reason.

// An 8-bit indexed PNG of the surface's picture with its 256-entry colour
// table as the palette, so each pixel decodes to the colour the 24-bit copy
// of the surface shows.
void WriteIndexedPng(std::ostream& out, const TFlicSurface& surface);

// A 24-bit PNG of a pf24bit bitmap.
void WriteRgbPng(std::ostream& out, const TBitmap& bitmap);

}  // namespace tovasel::cli
