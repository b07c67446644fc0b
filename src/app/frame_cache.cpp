#include "app/frame_cache.h"

#include <cstring>


namespace tovasel {

void TFrameCache::SetWidth(int width) {
  if (width == width_) return;
  width_ = width;
  entries_.clear();
}

void TFrameCache::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  entries_.clear();
}

int TFrameCache::Add(const TIndexedPicture& picture) {
  if (picture.Width != width_ || picture.Height != height_) return -1;
  const std::size_t w = static_cast<std::size_t>(width_);
  // Animations often hold still for several frames; those share one store,
  // found before anything is copied.
  if (!entries_.empty()) {
    const Entry& last = *entries_.back();
    bool same = last.colors == picture.Colors;
    const std::uint8_t* row = picture.TopRow;
    for (int y = 0; same && y < height_; ++y, row += picture.RowStep) {
      same = w == 0 || std::memcmp(last.indices.data() + static_cast<std::size_t>(y) * w, row, w) == 0;
    }
    if (same) {
      entries_.push_back(entries_.back());
      return Count() - 1;
    }
  }
  auto entry = std::make_shared<Entry>();
  entry->colors = picture.Colors;
  entry->indices.reserve(w * static_cast<std::size_t>(height_));
  const std::uint8_t* row = picture.TopRow;
  for (int y = 0; y < height_; ++y, row += picture.RowStep) entry->indices.insert(entry->indices.end(), row, row + w);
  entries_.push_back(std::move(entry));
  return Count() - 1;
}

bool TFrameCache::CopyTo(int index, TBitmap& target) const {
  if (index < 0 || index >= Count()) return false;
  DrawPicture(Picture(index), target);
  return true;
}

TIndexedPicture TFrameCache::Picture(int index) const {
  const Entry& e = *entries_[static_cast<std::size_t>(index)];
  TIndexedPicture picture;
  picture.Width = width_;
  picture.Height = height_;
  picture.TopRow = e.indices.data();
  picture.RowStep = width_;
  picture.Colors = e.colors;
  return picture;
}

std::size_t TFrameCache::StorageBytes() const {
  std::size_t total = 0;
  const Entry* previous = nullptr;
  for (const auto& e : entries_) {
    if (e.get() != previous) total += e->indices.size() + sizeof(e->colors);
    previous = e.get();
  }
  return total;
}

}  // namespace tovasel
