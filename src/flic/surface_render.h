#pragma once

#include "imaging/bitmap.h"

namespace tovasel {

class TFlicSurface;

// Renders the surface with its colours into `out`, a 24-bit bitmap that
// keeps its own size (the display size). With `stretch` the whole picture is
// scaled to fill it (nearest pixel); otherwise it is copied one to one from
// the picture's top-left corner and whatever lies beyond the picture is black.
void RenderSurface(const TFlicSurface& surface, TBitmap& out, bool stretch);

}  // namespace tovasel
