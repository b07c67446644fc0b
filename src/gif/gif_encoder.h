#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>

#include "gif/block_writer.h"
#include "gif/image_walk.h"

namespace tovasel {

// The largest of count pixel values (0 for none).
std::uint8_t LargestPixel(const std::uint8_t* pixels, std::size_t count);

// Image data of one frame: the minimum code size byte, the variable-width
// codes packed least significant bit first into data sub-blocks, and the
// block terminator. Subclasses choose the codes.
class TGIFEncoder {
 public:
  virtual ~TGIFEncoder() = default;

  // Bits is the colour table's bit count (raised to 2 for the minimum code
  // size); every pixel must be below PixelLimit, else "Color not in color
  // table" is raised before any byte of this frame's data is written.
  void CompressImage(std::ostream& stream, int bits, int pixelLimit, const std::uint8_t* pixels,
                     bool interlaced, int height, int width);

  int MinCodeSize() const { return minCodeSize_; }
  int ClearCodeValue() const { return clearCode_; }
  int EndCodeValue() const { return endCode_; }
  int FirstFreeCode() const { return firstFreeCode_; }

 protected:
  // Packs one code at the current width; the End code also flushes the
  // last, zero-padded byte.
  void EmitCode(int code) {
    bitAccumulator_ |= static_cast<std::uint32_t>(code) << bitCount_;
    bitCount_ += codeWidth_;
    while (bitCount_ >= 8) {
      writer_->PutByte(static_cast<std::uint8_t>(bitAccumulator_));
      bitAccumulator_ >>= 8;
      bitCount_ -= 8;
    }
    if (code == endCode_ && bitCount_ > 0) {
      writer_->PutByte(static_cast<std::uint8_t>(bitAccumulator_));
      bitAccumulator_ = 0;
      bitCount_ = 0;
    }
  }
  // Emits every code of the frame from the walk, without the End code.
  virtual void Encode() = 0;

  TImageWalk& Walk() { return *walk_; }
  TGIFWriter& Writer() { return *writer_; }

  int minCodeSize_ = 0;
  int initialCodeWidth_ = 0;
  int codeWidth_ = 0;
  int clearCode_ = 0;
  int endCode_ = 0;
  int firstFreeCode_ = 0;
  std::uint32_t bitAccumulator_ = 0;
  int bitCount_ = 0;

 private:
  std::optional<TImageWalk> walk_;
  std::optional<TGIFWriter> writer_;
};

}  // namespace tovasel
