#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tovasel {

// Rows in the order of the GIF interlaced layout: every 8th row from 0, every
// 8th from 4, every 4th from 2, every 2nd from 1. Passes whose first row lies
// past the image are skipped.
std::vector<int> InterlacedRowOrder(int height);

// Hands out a frame's pixels in the order the image data stores them, as
// contiguous runs: the whole buffer at once for a plain frame, one row at a
// time in pass order for an interlaced one.
class TImageWalk {
 public:
  TImageWalk(const std::uint8_t* pixels, int width, int height, bool interlaced);

  // The next run, or an empty span at the end.
  std::span<const std::uint8_t> NextRun();

 private:
  const std::uint8_t* pixels_;
  std::size_t width_;
  std::size_t height_;
  bool interlaced_;
  std::vector<int> rows_;
  std::size_t next_ = 0;
};

}  // namespace tovasel
