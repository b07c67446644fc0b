#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/bitmap.h"
#include "imaging/indexed_picture.h"

namespace tovasel {

// The frame cache: an ordered list of pictures of one size, indexed from 0.
// Every entry keeps each pixel's RGB colour exactly, stored compactly as
// 8-bit indices plus the frame's colour table; an entry equal to the one
// before it shares that entry's storage.
class TFrameCache {
 public:
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Setting a dimension to a new value empties the cache.
  void SetWidth(int width);
  void SetHeight(int height);

  int Count() const { return static_cast<int>(entries_.size()); }
  void Clear() { entries_.clear(); }

  // Appends a picture of the cache's size; returns its index, or -1 when the
  // picture's size differs (the image list's "Invalid image size" case).
  int Add(const TIndexedPicture& picture);

  // Draws entry i into Target as 24-bit colour, sizing Target to the cache's
  // size first. For an index outside the cache nothing happens and Target
  // keeps its pixels. Returns whether it drew.
  bool CopyTo(int index, TBitmap& target) const;

  // Entry i as a picture; index must be inside the cache.
  TIndexedPicture Picture(int index) const;

  // Bytes of pixel storage held (shared entries counted once).
  std::size_t StorageBytes() const;

 private:
  struct Entry {
    std::vector<std::uint8_t> indices;  // Width x Height, top row first
    std::array<TRGBQuad, 256> colors;
  };

  int width_ = 0;
  int height_ = 0;
  std::vector<std::shared_ptr<const Entry>> entries_;
};

}  // namespace tovasel
