#pragma once

#include "imaging/bitmap.h"

namespace tovasel {

struct TPictureSize {
  int Width = 0;
  int Height = 0;
  friend bool operator==(const TPictureSize&, const TPictureSize&) = default;
};

// The size a width × height picture takes to fit a side × side box: the
// aspect ratio kept (the short side rounded, at least 1 pixel), and never
// larger than the picture itself. side must be at least 1.
TPictureSize FitInside(int width, int height, int side);

// Scales a pf24bit bitmap down to size (no side larger than the source's) by
// area averaging: each output pixel is the mean of the source area it
// covers, a source pixel cut by the output grid counting by the share that
// falls inside, rounded to nearest. A size equal to the source's copies it.
TBitmap ScaleDown(const TBitmap& source, TPictureSize size);

}  // namespace tovasel
