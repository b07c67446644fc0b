#include "imaging/bitmap.h"

#include <stdexcept>

namespace tovasel {

int BitsPerPixel(TPixelFormat format) {
  switch (format) {
    case TPixelFormat::pf1bit: return 1;
    case TPixelFormat::pf4bit: return 4;
    case TPixelFormat::pf8bit: return 8;
    case TPixelFormat::pf15bit: return 16;
    case TPixelFormat::pf16bit: return 16;
    case TPixelFormat::pfDevice:
    case TPixelFormat::pf24bit: return 24;
    case TPixelFormat::pf32bit: return 32;
    case TPixelFormat::pfCustom: return 0;
  }
  return 0;
}

TBitmap::TBitmap(int width, int height, TPixelFormat format) : format_(format) {
  SetSize(width, height);
}

void TBitmap::SetSize(int width, int height) {
  if (width < 0 || height < 0) throw std::invalid_argument("negative bitmap size");
  width_ = width;
  height_ = height;
  Allocate();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == format_) return;
  format_ = format;
  Allocate();
}

void TBitmap::Allocate() {
  const auto bits = static_cast<std::size_t>(BitsPerPixel(format_ == TPixelFormat::pfCustom ? TPixelFormat::pf24bit : format_));
  stride_ = ((static_cast<std::size_t>(width_) * bits + 31) / 32) * 4;
  pixels_.assign(stride_ * static_cast<std::size_t>(height_), 0);
}

}  // namespace tovasel
