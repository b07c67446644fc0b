#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>

#include "gif/block_writer.h"
#include "gif/image_walk.h"

namespace tovasel {

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

  int MinCodeSize() const { return min_code_size_; }
  int ClearCodeValue() const { return clear_code_; }
  int EndCodeValue() const { return end_code_; }
  int FirstFreeCode() const { return first_free_code_; }

 protected:
  // Packs one code at the current width; the End code also flushes the
  // last, zero-padded byte.
  void EmitCode(int code) {
    bit_accumulator_ |= static_cast<std::uint32_t>(code) << bit_count_;
    bit_count_ += code_width_;
    while (bit_count_ >= 8) {
      writer_->PutByte(static_cast<std::uint8_t>(bit_accumulator_));
      bit_accumulator_ >>= 8;
      bit_count_ -= 8;
    }
    if (code == end_code_ && bit_count_ > 0) {
      writer_->PutByte(static_cast<std::uint8_t>(bit_accumulator_));
      bit_accumulator_ = 0;
      bit_count_ = 0;
    }
  }
  // Emits every code of the frame from the walk, without the End code.
  virtual void Encode() = 0;

  TImageWalk& Walk() { return *walk_; }
  TGIFWriter& Writer() { return *writer_; }

  int min_code_size_ = 0;
  int initial_code_width_ = 0;
  int code_width_ = 0;
  int clear_code_ = 0;
  int end_code_ = 0;
  int first_free_code_ = 0;
  std::uint32_t bit_accumulator_ = 0;
  int bit_count_ = 0;

 private:
  std::optional<TImageWalk> walk_;
  std::optional<TGIFWriter> writer_;
};

}  // namespace tovasel
