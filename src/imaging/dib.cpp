#include "imaging/dib.h"

#include <new>

#include "imaging/imaging_error.h"
#include "imaging/pixel_conversion.h"

namespace tovasel {

TDIBReader::TDIBReader(const TBitmap& bitmap, TPixelFormat format) : TDIB(format), bitmap_(&bitmap) {
  if (bitmap.PixelFormat() == format) return;
  if (format == TPixelFormat::pf24bit) {
    // The display's and unnamed layouts already hold blue-green-red triples.
    if (IsTrueColor24(bitmap.PixelFormat())) return;
    converted_ = bitmap;
    ConvertTo24Bit(converted_);
    bitmap_ = &converted_;
    return;
  }
  throw EInvalidGraphic("Unsupported PixelFormat");
}

const std::uint8_t* TDIBReader::ScanLine(int y) const {
  if (y < 0 || y >= bitmap_->Height() || bitmap_->Width() <= 0) {
    throw EInvalidGraphicOperation("Scan line index out of range");
  }
  return bitmap_->ScanLine(y);
}

TDIBWriter::TDIBWriter(TBitmap& target, const TColorPalette& palette, int width, int height,
                       TPixelFormat format)
    : TDIB(format), target_(target), width_(width), height_(height) {
  if (width <= 0 || height <= 0) throw EInvalidGraphic("Invalid image dimensions");
  if (format != TPixelFormat::pf8bit && format != TPixelFormat::pf24bit) {
    throw EInvalidGraphic("Unsupported PixelFormat");
  }
  palette_ = palette;
  if (palette_.size() > 256) palette_.resize(256);
}

TDIBWriter::~TDIBWriter() { Finish(); }

void TDIBWriter::AllocateImage() {
  try {
    image_ = TBitmap(width_, height_, format_);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory("Failed to allocate memory for GIF DIB");
  } catch (const EInvalidGraphic&) {
    // The size passed the zero check but is too large to hold.
    throw EOutOfMemory("Failed to allocate memory for GIF DIB");
  }
  if (format_ == TPixelFormat::pf8bit) {
    auto& table = image_.ColorTable();
    table.assign(256, TRGBQuad{});
    for (std::size_t i = 0; i < palette_.size(); ++i) {
      table[i] = TRGBQuad{palette_[i].Blue, palette_[i].Green, palette_[i].Red, 0};
    }
  }
  allocated_ = true;
}

std::uint8_t* TDIBWriter::ScanLine(int y) {
  if (!allocated_) AllocateImage();
  if (image_.Empty()) throw EInvalidGraphicOperation("Image has no DIB");
  if (y < 0 || y >= height_) throw EInvalidGraphicOperation("Scan line index out of range");
  return image_.ScanLine(y);
}

void TDIBWriter::Finish() noexcept {
  if (!allocated_) return;
  allocated_ = false;
  target_ = std::move(image_);
}

}  // namespace tovasel
