#include "imaging/bitmap.h"

#include "imaging/imaging_error.h"

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

bool IsIndexed(TPixelFormat format) {
  return format == TPixelFormat::pf1bit || format == TPixelFormat::pf4bit ||
         format == TPixelFormat::pf8bit;
}

bool IsTrueColor24(TPixelFormat format) {
  return format == TPixelFormat::pf24bit || format == TPixelFormat::pfDevice ||
         format == TPixelFormat::pfCustom;
}

TBitmap::TBitmap(int width, int height, TPixelFormat format) : format_(format) {
  SetSize(width, height);
}

void TBitmap::SetSize(int width, int height) {
  if (width < 0 || height < 0) throw EInvalidGraphic("Invalid image dimensions");
  const int old_width = width_;
  const int old_height = height_;
  width_ = width;
  height_ = height;
  try {
    Allocate();
  } catch (...) {
    width_ = old_width;
    height_ = old_height;
    throw;
  }
  mask_.clear();
  if (transparent_) mask_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == format_) return;
  const TPixelFormat old = format_;
  format_ = format;
  try {
    Allocate();
  } catch (...) {
    format_ = old;
    throw;
  }
  if (!IsIndexed(format_)) colors_.clear();
}

void TBitmap::SetTransparent(bool transparent) {
  transparent_ = transparent;
  const std::size_t area = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
  if (transparent_ && mask_.size() != area) mask_.assign(area, 0);
}

void TBitmap::Allocate() {
  const auto bits = static_cast<std::size_t>(
      BitsPerPixel(format_ == TPixelFormat::pfCustom ? TPixelFormat::pf24bit : format_));
  const std::size_t stride = ((static_cast<std::size_t>(width_) * bits + 31) / 32) * 4;
  // Both factors are below 2^31 and the stride below 2^34, so the product
  // fits in 64 bits; compare by division to stay exact on any size_t.
  if (height_ > 0 && stride > kMaxPixelBytes / static_cast<std::size_t>(height_)) {
    throw EInvalidGraphic("Invalid image dimensions");
  }
  std::vector<std::uint8_t> fresh(stride * static_cast<std::size_t>(height_), 0);
  stride_ = stride;
  pixels_.swap(fresh);
}

}  // namespace tovasel
