#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "flic/palette.h"
#include "imaging/bitmap.h"

namespace tovasel {

// The 8-bit frame buffer every FLIC frame is decoded into: rows stored
// bottom-up (stored row 0 is the bottom row of the picture), each padded to a
// multiple of 4 bytes, with a 256-entry colour table that always equals the
// last palette handed to SetPalette.
class TFlicSurface {
 public:
  TFlicSurface() : TFlicSurface(4, 4) {}
  TFlicSurface(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  std::size_t Stride() const { return stride_; }
  std::size_t ImageSize() const { return pixels_.size(); }

  // Replaces the pixel store with an all-zero one of the new size. Until the
  // next SetPalette every colour-table entry shows entry 0 of the surface
  // palette, as a fresh device-independent bitmap section does. Negative
  // sizes count as 0.
  void SetSize(int width, int height);
  void SetWidth(int width) { SetSize(width, height_); }
  void SetHeight(int height) { SetSize(width_, height); }

  // Zeroes every byte of the pixel store, row padding included.
  void Clear();

  // Takes a copy of the block as the surface palette and rebuilds all 256
  // colour-table entries from it.
  void SetPalette(const TLogPalette& block);
  const TPalette& Palette() const { return palette_; }
  // The colour table in blue, green, red, reserved order.
  const std::array<TRGBQuad, 256>& ColorTable() const { return colors_; }

  // One byte at column x of stored row r; positions outside the picture are
  // ignored so that no caller can write past the store.
  void SetPixel(int x, int storedRow, std::uint8_t value);
  std::uint8_t Pixel(int x, int storedRow) const;

  // Stored row r (0 = bottom of the picture); unchecked, 0 <= r < Height().
  std::uint8_t* Bits(int storedRow) { return pixels_.data() + static_cast<std::size_t>(storedRow) * stride_; }
  const std::uint8_t* Bits(int storedRow) const {
    return pixels_.data() + static_cast<std::size_t>(storedRow) * stride_;
  }
  // Picture row y counted from the top; unchecked, 0 <= y < Height().
  std::uint8_t* PictureRow(int y) { return Bits(height_ - 1 - y); }
  const std::uint8_t* PictureRow(int y) const { return Bits(height_ - 1 - y); }

  // Copies the whole picture with its colours into a 24-bit top-down bitmap,
  // resizing the bitmap to the surface's size.
  void CopyToBitmap(TBitmap& out) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::size_t stride_ = 0;
  std::vector<std::uint8_t> pixels_;
  TPalette palette_;
  std::array<TRGBQuad, 256> colors_{};
};

}  // namespace tovasel
