#include "imaging/indexed_picture.h"

#include "imaging/pixel_conversion.h"

namespace tovasel {

void SizeAs24Bit(TBitmap& target, int width, int height) {
  if (target.PixelFormat() != TPixelFormat::pf24bit) target.SetPixelFormat(TPixelFormat::pf24bit);
  if (target.Width() != width || target.Height() != height) target.SetSize(width, height);
}

void DrawPicture(const TIndexedPicture& picture, TBitmap& target) {
  SizeAs24Bit(target, picture.Width, picture.Height);
  DrawIndexed(picture.TopRow, picture.RowStep, picture.Width, picture.Height, picture.Colors, target);
}

void DrawIndexed(const std::uint8_t* topRow, std::ptrdiff_t rowStep, int width, int height,
                 const std::array<TRGBQuad, 256>& colors, TBitmap& target) {
  const TIndexedRowExpander expander(colors);
  const std::uint8_t* src = topRow;
  for (int y = 0; y < height; ++y, src += rowStep) expander.Expand(src, width, target.ScanLine(y));
}

}  // namespace tovasel
