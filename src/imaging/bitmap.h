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
// 8 bits) carry a colour table. See pixel_format.h for every row layout.
//
// A bitmap may declare itself transparent; its mask then holds one byte per
// pixel (rows top-down, Width() bytes each), non-zero meaning "not drawn".
class TBitmap {
 public:
  // Pixel stores above this size are refused rather than attempted, so that
  // a corrupt size cannot ask for gigabytes.
  static constexpr std::size_t kMaxPixelBytes = std::size_t{1} << 30;

  TBitmap() = default;
  TBitmap(int width, int height, TPixelFormat format = TPixelFormat::pf24bit);

  int Width() const { return width_; }
  int Height() const { return height_; }
  TPixelFormat PixelFormat() const { return format_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }

  // Reallocates the pixel store; the new pixels are all zero and the mask is
  // dropped. Throws EInvalidGraphic for a negative or oversized request.
  void SetSize(int width, int height);
  // Changes the layout and reallocates (zero pixels); converting the existing
  // pixels is ConvertTo24Bit's job.
  void SetPixelFormat(TPixelFormat format);

  // Bytes per stored row, a multiple of 4.
  std::size_t Stride() const { return stride_; }

  // Row y counted from the top of the picture. Unchecked: the caller keeps
  // y inside 0..Height()-1 (TDIBReader checks on behalf of untrusted callers).
  std::uint8_t* ScanLine(int y) { return pixels_.data() + static_cast<std::size_t>(y) * stride_; }
  const std::uint8_t* ScanLine(int y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * stride_;
  }

  std::vector<TRGBQuad>& ColorTable() { return colors_; }
  const std::vector<TRGBQuad>& ColorTable() const { return colors_; }

  bool Transparent() const { return transparent_; }
  // Turning transparency on creates an all-zero mask of the bitmap's size
  // when none of that size exists yet.
  void SetTransparent(bool transparent);
  std::vector<std::uint8_t>& Mask() { return mask_; }
  const std::vector<std::uint8_t>& Mask() const { return mask_; }

  friend bool operator==(const TBitmap&, const TBitmap&) = default;

 private:
  void Allocate();

  int width_ = 0;
  int height_ = 0;
  TPixelFormat format_ = TPixelFormat::pf24bit;
  std::size_t stride_ = 0;
  std::vector<std::uint8_t> pixels_;
  std::vector<TRGBQuad> colors_;
  bool transparent_ = false;
  std::vector<std::uint8_t> mask_;
};

}  // namespace tovasel
