#include "gif/image_walk.h"

namespace tovasel {

std::vector<int> InterlacedRowOrder(int height) {
  struct Pass {
    int first;
    int step;
  };
  static constexpr Pass passes[] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
  std::vector<int> rows;
  rows.reserve(height > 0 ? static_cast<std::size_t>(height) : 0);
  for (const Pass& pass : passes) {
    for (int row = pass.first; row < height; row += pass.step) rows.push_back(row);
  }
  return rows;
}

TImageWalk::TImageWalk(const std::uint8_t* pixels, int width, int height, bool interlaced)
    : pixels_(pixels),
      width_(width > 0 ? static_cast<std::size_t>(width) : 0),
      height_(height > 0 ? static_cast<std::size_t>(height) : 0),
      interlaced_(interlaced) {
  if (pixels_ == nullptr || width_ == 0 || height_ == 0) {
    height_ = 0;
  } else if (interlaced_) {
    rows_ = InterlacedRowOrder(height);
  }
}

std::span<const std::uint8_t> TImageWalk::NextRun() {
  if (height_ == 0) return {};
  if (!interlaced_) {
    // The rows follow each other without padding, so the buffer is one run.
    if (next_++ > 0) return {};
    return {pixels_, width_ * height_};
  }
  if (next_ >= rows_.size()) return {};
  const std::size_t row = static_cast<std::size_t>(rows_[next_++]);
  return {pixels_ + row * width_, width_};
}

}  // namespace tovasel
