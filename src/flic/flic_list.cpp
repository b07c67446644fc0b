#include "flic/flic_list.h"

#include <algorithm>
#include <cstring>

#include "flic/output_window.h"
#include "flic/screen_capture.h"
#include "imaging/pixel_conversion.h"

namespace tovasel {

void TFlicList::SetWidth(int width) {
  if (width <= 0) return;
  width_ = width;
  images_.clear();
  count_ = 0;
  SizeWork();
}

void TFlicList::SetHeight(int height) {
  if (height <= 0) return;
  height_ = height;
  images_.clear();
  count_ = 0;
  SizeWork();
}

void TFlicList::SizeWork() {
  // Until both sides are known the work bitmap stays empty.
  if (width_ > 0 && height_ > 0) work_.SetSize(width_, height_);
}

void TFlicList::SetAllocBy(int count) {
  if (count <= 0) return;
  allocBy_ = count;
  images_.reserve(static_cast<std::size_t>(count));
}

bool TFlicList::CaptureBackground(const TOutputWindow* window) {
  if (!capture_) return false;
  TBitmap copy;
  if (!capture_->CaptureScreen(window, windowRect_, copy)) return false;
  if (!IsTrueColor24(copy.PixelFormat())) ConvertTo24Bit(copy);
  background_ = std::move(copy);
  captured_ = true;
  return true;
}

// The background area at (x, y) into the work bitmap, clipped to what was
// captured.
void TFlicList::CopyBackground(int x, int y) {
  const int bw = background_.Width();
  const int bh = background_.Height();
  const int left = std::clamp(x, 0, bw);
  const int right = std::clamp(x + width_, 0, bw);
  for (int row = 0; row < work_.Height(); ++row) {
    std::uint8_t* dst = work_.ScanLine(row);
    std::memset(dst, 0, static_cast<std::size_t>(width_) * 3);
    const int by = y + row;
    if (by < 0 || by >= bh || left >= right) continue;
    std::memcpy(dst + static_cast<std::size_t>(left - x) * 3, background_.ScanLine(by) + static_cast<std::size_t>(left) * 3,
                static_cast<std::size_t>(right - left) * 3);
  }
}

void TFlicList::DrawTransparent(int index, TOutputWindow* target, int y, int x) {
  if (!target || index < 1 || index > count_ || work_.Empty()) return;
  CopyBackground(x, y);
  const TBitmap& image = images_[static_cast<std::size_t>(index - 1)];
  const std::uint8_t* mask = image.Mask().data();
  for (int row = 0; row < height_; ++row) {
    const std::uint8_t* src = image.ScanLine(row);
    const std::uint8_t* rowMask = mask + static_cast<std::size_t>(row) * width_;
    std::uint8_t* dst = work_.ScanLine(row);
    for (int col = 0; col < width_; ++col, src += 3, dst += 3) {
      if (rowMask[col]) continue;
      dst[0] = src[0];
      dst[1] = src[1];
      dst[2] = src[2];
    }
  }
  target->DrawBitmap(work_, x, y, windowRect_);
}

void TFlicList::RestoreBackground(TOutputWindow* target, int x, int y) {
  if (!target || work_.Empty()) return;
  CopyBackground(x, y);
  target->DrawBitmap(work_, x, y, windowRect_);
}

void TFlicList::StoreFrame(const TBitmap& bitmap, std::uint32_t maskColour) {
  if (width_ <= 0 || height_ <= 0) return;
  // Only a bitmap in another format is copied, to convert it.
  TBitmap converted;
  const TBitmap* from = &bitmap;
  if (!IsTrueColor24(bitmap.PixelFormat())) {
    converted = bitmap;
    ConvertTo24Bit(converted);
    from = &converted;
  }
  const TBitmap& source = *from;

  TBitmap image(width_, height_);
  image.SetTransparent(true);
  const std::uint8_t red = maskColour & 0xFF;
  const std::uint8_t green = (maskColour >> 8) & 0xFF;
  const std::uint8_t blue = (maskColour >> 16) & 0xFF;
  const int w = std::min(width_, source.Width());
  const int h = std::min(height_, source.Height());
  std::uint8_t* mask = image.Mask().data();
  // Pixels beyond the given bitmap are not drawn.
  std::fill(image.Mask().begin(), image.Mask().end(), std::uint8_t{1});
  for (int row = 0; row < h; ++row) {
    const std::uint8_t* src = source.ScanLine(row);
    std::memcpy(image.ScanLine(row), src, static_cast<std::size_t>(w) * 3);
    std::uint8_t* rowMask = mask + static_cast<std::size_t>(row) * width_;
    for (int col = 0; col < w; ++col, src += 3)
      rowMask[col] = (src[0] == blue && src[1] == green && src[2] == red) ? 1 : 0;
  }
  if (images_.size() == images_.capacity()) images_.reserve(images_.size() + static_cast<std::size_t>(allocBy_));
  images_.push_back(std::move(image));
  count_ += 1;
}

void TFlicList::ClearFrames() {
  images_.clear();
  count_ = 0;
}

}  // namespace tovasel
