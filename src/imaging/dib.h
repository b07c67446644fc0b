#pragma once

#include <cstdint>

#include "imaging/bitmap.h"
#include "imaging/palette.h"

namespace tovasel {

// Row access to a bitmap in one chosen pixel format.
class TDIB {
 public:
  explicit TDIB(TPixelFormat format) : format_(format) {}
  TDIB(const TDIB&) = delete;
  TDIB& operator=(const TDIB&) = delete;

  TPixelFormat PixelFormat() const { return format_; }

 protected:
  TPixelFormat format_;
};

// Reads a bitmap's rows in the requested format, row 0 being the top row,
// leaving the bitmap as it is. Rows already laid out in that format are read
// where they are; any other layout is converted once into the reader's own
// copy (only a conversion to 24 bits exists: indexed rows are read as they
// are stored). 24-bit rows are blue, green, red byte triples.
class TDIBReader : public TDIB {
 public:
  // Throws EInvalidGraphic "Unsupported PixelFormat" when asked for an
  // indexed format the bitmap is not already in.
  TDIBReader(const TBitmap& bitmap, TPixelFormat format);

  int Width() const { return bitmap_->Width(); }
  int Height() const { return bitmap_->Height(); }
  // The bitmap the rows come from: the caller's, or the converted copy.
  const TBitmap& Bitmap() const { return *bitmap_; }

  // Throws EInvalidGraphicOperation "Scan line index out of range" for a row
  // outside the image (this includes every row of an empty image).
  const std::uint8_t* ScanLine(int y) const;

 private:
  TBitmap converted_;
  const TBitmap* bitmap_;
};

// Builds a new 8-bit or 24-bit image and stores it into the target bitmap,
// replacing its content, when the writer is destroyed (or Finish() is
// called). An 8-bit image carries a colour table of exactly 256 entries: the
// palette's entries in order, then black. The first row request allocates
// the image; a writer that never handed out a row leaves the target as it is.
class TDIBWriter : public TDIB {
 public:
  // Throws EInvalidGraphic "Invalid image dimensions" for a zero (or
  // negative) width or height and "Unsupported PixelFormat" for any format
  // other than pf8bit and pf24bit.
  TDIBWriter(TBitmap& target, const TColorPalette& palette, int width, int height,
             TPixelFormat format);
  ~TDIBWriter();

  // Row y of the picture, counted from the top. Throws
  // EInvalidGraphicOperation "Scan line index out of range" outside the
  // image, EOutOfMemory "Failed to allocate memory for GIF DIB" when the
  // image memory cannot be obtained.
  std::uint8_t* ScanLine(int y);

  // Stores the image into the target now; later calls do nothing.
  void Finish() noexcept;

 private:
  void AllocateImage();

  TBitmap& target_;
  TColorPalette palette_;
  int width_;
  int height_;
  bool allocated_ = false;
  TBitmap image_;
};

}  // namespace tovasel
