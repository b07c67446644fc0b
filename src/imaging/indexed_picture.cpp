#include "imaging/indexed_picture.h"

#include "imaging/pixel_conversion.h"

namespace tovasel {

void DrawPicture(const TIndexedPicture& picture, TBitmap& target) {
  // A target that already is a 24-bit bitmap of the size is drawn over as
  // it is.
  if (target.PixelFormat() != TPixelFormat::pf24bit) target.SetPixelFormat(TPixelFormat::pf24bit);
  if (target.Width() != picture.Width || target.Height() != picture.Height) {
    target.SetSize(picture.Width, picture.Height);
  }
  const TIndexedRowExpander expander(picture.Colors);
  for (int y = 0; y < picture.Height; ++y) expander.Expand(picture.Row(y), picture.Width, target.ScanLine(y));
}

}  // namespace tovasel
