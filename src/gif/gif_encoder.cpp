#include "gif/gif_encoder.h"

#include <algorithm>
#include <cstddef>

#include "gif/gif_exception.h"
#include "gif/stream_output.h"

namespace tovasel {

namespace {

// The decoders index the colour table with every pixel, so a value past the
// table is refused before the frame's data starts.
void CheckPixelLimit(const std::uint8_t* pixels, std::size_t count, int pixelLimit) {
  if (pixelLimit >= 256 || pixels == nullptr || count == 0) return;
  const std::uint8_t largest = *std::max_element(pixels, pixels + count);
  if (largest >= pixelLimit) throw GIFException("Color not in color table");
}

}  // namespace

void TGIFEncoder::CompressImage(std::ostream& stream, int bits, int pixelLimit,
                                const std::uint8_t* pixels, bool interlaced, int height,
                                int width) {
  const bool hasPixels = pixels != nullptr && width > 0 && height > 0;
  if (hasPixels) {
    CheckPixelLimit(pixels, static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                    pixelLimit);
  }

  min_code_size_ = std::clamp(bits, 2, 8);
  initial_code_width_ = code_width_ = min_code_size_ + 1;
  clear_code_ = 1 << min_code_size_;
  end_code_ = clear_code_ + 1;
  first_free_code_ = clear_code_ + 2;
  bit_accumulator_ = 0;
  bit_count_ = 0;

  WriteByte(stream, static_cast<std::uint8_t>(min_code_size_));
  walk_.emplace(pixels, width, height, interlaced);
  writer_.emplace(stream);
  if (hasPixels) Encode();
  TGIFEncoder::EmitCode(end_code_);
  writer_->FlushBlock();
  writer_.reset();
  walk_.reset();
  WriteByte(stream, 0);
}

}  // namespace tovasel
