#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "imaging/bitmap.h"

namespace tovasel {

// An 8-bit picture with its 256 colours, as a FLIC frame surface holds it.
// Rows are reached from TopRow by RowStep bytes each (negative for pictures
// stored bottom-up). The picture only points at pixels held elsewhere.
struct TIndexedPicture {
  int Width = 0;
  int Height = 0;
  const std::uint8_t* TopRow = nullptr;
  std::ptrdiff_t RowStep = 0;
  std::array<TRGBQuad, 256> Colors{};

  const std::uint8_t* Row(int y) const { return TopRow + RowStep * static_cast<std::ptrdiff_t>(y); }
};

// Draws the picture into Target as 24-bit colour, sizing Target to the
// picture first.
void DrawPicture(const TIndexedPicture& picture, TBitmap& target);

}  // namespace tovasel
