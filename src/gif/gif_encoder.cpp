#include "gif/gif_encoder.h"

#include <algorithm>
#include <cstddef>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "gif/gif_exception.h"
#include "gif/stream_output.h"

namespace tovasel {

std::uint8_t LargestPixel(const std::uint8_t* pixels, std::size_t count) {
  std::uint8_t largest = 0;
  std::size_t i = 0;
#ifdef __SSE2__
  // Sixteen pixels at a time: byte by byte, the check took a tenth of a
  // conversion whose frames share one small map.
  __m128i lanes = _mm_setzero_si128();
  for (; i + 16 <= count; i += 16) {
    lanes = _mm_max_epu8(lanes, _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + i)));
  }
  alignas(16) std::uint8_t bytes[16];
  _mm_store_si128(reinterpret_cast<__m128i*>(bytes), lanes);
  largest = *std::max_element(bytes, bytes + 16);
#endif
  for (; i < count; ++i) largest = std::max(largest, pixels[i]);
  return largest;
}

namespace {

// The decoders index the colour table with every pixel, so a value past the
// table is refused before the frame's data starts.
void CheckPixelLimit(const std::uint8_t* pixels, std::size_t count, int pixelLimit) {
  if (pixelLimit >= 256 || pixels == nullptr || count == 0) return;
  if (LargestPixel(pixels, count) >= pixelLimit) throw GIFException("Color not in color table");
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

  minCodeSize_ = std::clamp(bits, 2, 8);
  initialCodeWidth_ = codeWidth_ = minCodeSize_ + 1;
  clearCode_ = 1 << minCodeSize_;
  endCode_ = clearCode_ + 1;
  firstFreeCode_ = clearCode_ + 2;
  bitAccumulator_ = 0;
  bitCount_ = 0;

  WriteByte(stream, static_cast<std::uint8_t>(minCodeSize_));
  walk_.emplace(pixels, width, height, interlaced);
  writer_.emplace(stream);
  if (hasPixels) Encode();
  TGIFEncoder::EmitCode(endCode_);
  writer_->FlushBlock();
  writer_.reset();
  walk_.reset();
  WriteByte(stream, 0);
}

}  // namespace tovasel
