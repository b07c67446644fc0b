#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/pixel_format.h"

namespace tovasel {

// One colour-table entry as bitmaps store it: blue, green, red, reserved.
struct TRGBQuad {
  std::uint8_t rgbBlue = 0;
  std::uint8_t rgbGreen = 0;
  std::uint8_t rgbRed = 0;
  std::uint8_t rgbReserved = 0;
  friend bool operator==(const TRGBQuad&, const TRGBQuad&) = default;
};

// A bitmap in memory, rows stored top-down, each row padded to 4 bytes.
// 24-bit rows hold blue, green, red byte triples; indexed formats (1, 4 and
// 8 bits) carry a colour table.
class TBitmap {
 public:
  TBitmap() = default;
  TBitmap(int width, int height, TPixelFormat format = TPixelFormat::pf24bit);

  int Width() const { return width_; }
  int Height() const { return height_; }
  TPixelFormat PixelFormat() const { return format_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }

  // Reallocates the pixel store; the new pixels are all zero.
  void SetSize(int width, int height);
  void SetPixelFormat(TPixelFormat format);

  // Bytes per stored row, a multiple of 4.
  std::size_t Stride() const { return stride_; }

  // Row y counted from the top of the picture.
  std::uint8_t* ScanLine(int y) { return pixels_.data() + static_cast<std::size_t>(y) * stride_; }
  const std::uint8_t* ScanLine(int y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * stride_;
  }

  std::vector<TRGBQuad>& ColorTable() { return colors_; }
  const std::vector<TRGBQuad>& ColorTable() const { return colors_; }

  friend bool operator==(const TBitmap&, const TBitmap&) = default;

 private:
  void Allocate();

  int width_ = 0;
  int height_ = 0;
  TPixelFormat format_ = TPixelFormat::pf24bit;
  std::size_t stride_ = 0;
  std::vector<std::uint8_t> pixels_;
  std::vector<TRGBQuad> colors_;
};

}  // namespace tovasel
