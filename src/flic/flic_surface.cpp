#include "flic/flic_surface.h"

#include <algorithm>

#include "imaging/pixel_conversion.h"

namespace tovasel {

TFlicSurface::TFlicSurface(int width, int height) { SetSize(width, height); }

void TFlicSurface::SetSize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  stride_ = (static_cast<std::size_t>(width_) + 3) & ~std::size_t{3};
  // assign() rather than resize(): the old pixels must not survive.
  pixels_.assign(stride_ * static_cast<std::size_t>(height_), 0);
  // A new section's colour table is 256 indices of 0 into the selected
  // palette, so every index shows that palette's first colour.
  const TPaletteEntry& first = palette_.Entry(0);
  colors_.fill(TRGBQuad{first.Blue, first.Green, first.Red, first.Flags});
}

void TFlicSurface::Clear() { std::fill(pixels_.begin(), pixels_.end(), std::uint8_t{0}); }

void TFlicSurface::SetPalette(const TLogPalette& block) {
  palette_ = TPalette(block);
  for (std::size_t i = 0; i < colors_.size(); ++i) {
    const TPaletteEntry& e = palette_.Entry(i);
    colors_[i] = TRGBQuad{e.Blue, e.Green, e.Red, e.Flags};
  }
}

void TFlicSurface::SetPixel(int x, int storedRow, std::uint8_t value) {
  if (x < 0 || x >= width_ || storedRow < 0 || storedRow >= height_) return;
  Bits(storedRow)[x] = value;
}

std::uint8_t TFlicSurface::Pixel(int x, int storedRow) const {
  if (x < 0 || x >= width_ || storedRow < 0 || storedRow >= height_) return 0;
  return Bits(storedRow)[x];
}

void TFlicSurface::CopyToBitmap(TBitmap& out) const {
  if (out.PixelFormat() != TPixelFormat::pf24bit) out.SetPixelFormat(TPixelFormat::pf24bit);
  if (out.Width() != width_ || out.Height() != height_) out.SetSize(width_, height_);
  const TIndexedRowExpander expander(colors_);
  for (int y = 0; y < height_; ++y) expander.Expand(PictureRow(y), width_, out.ScanLine(y));
}

}  // namespace tovasel
