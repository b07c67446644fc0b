#pragma once

#include <algorithm>

#include "gif/sub_image.h"

namespace tovasel {

// A frame's place on the logical screen; right and bottom are exclusive.
struct TFrameRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  static TFrameRect Of(const TGIFSubImage& frame) {
    return {frame.FrameLeft(), frame.FrameTop(), frame.FrameLeft() + frame.FrameWidth(),
            frame.FrameTop() + frame.FrameHeight()};
  }
  bool IsEmpty() const { return Left >= Right || Top >= Bottom; }
  TFrameRect Intersect(const TFrameRect& other) const {
    return {std::max(Left, other.Left), std::max(Top, other.Top), std::min(Right, other.Right),
            std::min(Bottom, other.Bottom)};
  }
  friend bool operator==(const TFrameRect&, const TFrameRect&) = default;
};

}  // namespace tovasel
