#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace tovasel {

// A rectangle of the screen; right and bottom are exclusive.
struct TBox {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool Empty() const { return Right <= Left || Bottom <= Top; }
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  void Include(const TBox& other) {
    if (other.Empty()) return;
    if (Empty()) {
      *this = other;
      return;
    }
    Left = std::min(Left, other.Left);
    Top = std::min(Top, other.Top);
    Right = std::max(Right, other.Right);
    Bottom = std::max(Bottom, other.Bottom);
  }
};

// The box around every pixel where Differs(a, b) holds, over two pictures
// of width x height; equal rows are skipped whole, which is what most rows
// of an animation are.
template <typename Differs>
TBox BoxWhere(const std::int32_t* a, const std::int32_t* b, int width, int height, Differs differs) {
  TBox box;
  box.Left = width;
  box.Top = height;
  for (int y = 0; y < height; ++y) {
    const std::int32_t* ra = a + static_cast<std::size_t>(y) * width;
    const std::int32_t* rb = b + static_cast<std::size_t>(y) * width;
    if (std::memcmp(ra, rb, sizeof(std::int32_t) * width) == 0) continue;
    int first = 0;
    while (first < width && !differs(ra[first], rb[first])) ++first;
    if (first == width) continue;
    int last = width - 1;
    while (!differs(ra[last], rb[last])) --last;
    box.Left = std::min(box.Left, first);
    box.Right = std::max(box.Right, last + 1);
    box.Top = std::min(box.Top, y);
    box.Bottom = y + 1;
  }
  if (box.Right == 0) return {};
  return box;
}

}  // namespace tovasel
