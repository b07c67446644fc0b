#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

#include "flic/flic_surface.h"

namespace tovasel {

// Writes into one picture row of a surface, clipped at the row's end. A row
// outside the picture swallows every write. Positions are 64-bit because the
// decoders add file-supplied skips and counts without limit.
class TRowWriter {
 public:
  TRowWriter(TFlicSurface& surface, std::int64_t y)
      : width_(surface.Width()),
        row_(y >= 0 && y < surface.Height() ? surface.PictureRow(static_cast<int>(y)) : nullptr) {}

  bool Valid() const { return row_ != nullptr; }

  void Copy(std::int64_t x, std::span<const std::uint8_t> bytes) {
    const std::int64_t n = Clip(x, static_cast<std::int64_t>(bytes.size()));
    if (n > 0) std::memcpy(row_ + x, bytes.data(), static_cast<std::size_t>(n));
  }

  void Fill(std::int64_t x, std::int64_t count, std::uint8_t value) {
    const std::int64_t n = Clip(x, count);
    if (n > 0) std::memset(row_ + x, value, static_cast<std::size_t>(n));
  }

  // count repetitions of the byte pair (first, second), as FLC word runs lay
  // them out in memory.
  void FillPair(std::int64_t x, std::int64_t count, std::uint8_t first, std::uint8_t second) {
    if (count <= 0) return;
    const std::int64_t n = Clip(x, count * 2);
    if (n <= 0) return;
    std::uint8_t* p = row_ + x;
    for (std::int64_t i = 0; i < n; ++i) p[i] = (i & 1) ? second : first;
  }

  void Put(std::int64_t x, std::uint8_t value) { Fill(x, 1, value); }

 private:
  // Number of bytes of [x, x + count) that lie inside the row.
  std::int64_t Clip(std::int64_t x, std::int64_t count) const {
    if (!row_ || x < 0 || x >= width_ || count <= 0) return 0;
    return std::min<std::int64_t>(count, width_ - x);
  }

  std::int64_t width_;
  std::uint8_t* row_;
};

}  // namespace tovasel
