// Speed of the image data encoders on frames the size of a typical FLIC
// (320 x 200, 256 colours): a picture-like frame and pure noise, which fills
// the code table and forces a Clear every few thousand pixels.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <streambuf>
#include <vector>

#include "gif/lzw_encoder.h"
#include "gif/rle_encoder.h"

namespace {

constexpr int Width = 320;
constexpr int Height = 200;

// Counts and drops what is written, so the stream costs nothing.
class TDiscardBuffer : public std::streambuf {
 protected:
  std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
  int_type overflow(int_type ch) override { return traits_type::not_eof(ch); }
};

// Smooth bands with flat shapes and a noisy patch, like an animation frame
// reduced to the colour cube.
std::vector<std::uint8_t> PictureFrame() {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(Width) * Height);
  std::mt19937 random(1);
  for (int y = 0; y < Height; ++y) {
    for (int x = 0; x < Width; ++x) {
      int colour = (x / 6 + y / 5) % 216;
      if (x > 40 && x < 140 && y > 30 && y < 120) colour = 17;
      const int dx = x - 230, dy = y - 110;
      if (dx * dx + dy * dy < 50 * 50) colour = 100 + (dx * dx + dy * dy) / 400;
      if (x < 80 && y > 140) colour = static_cast<int>(random() % 256);
      pixels[static_cast<std::size_t>(y) * Width + x] = static_cast<std::uint8_t>(colour);
    }
  }
  return pixels;
}

std::vector<std::uint8_t> NoiseFrame() {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(Width) * Height);
  std::mt19937 random(2);
  for (auto& pixel : pixels) pixel = static_cast<std::uint8_t>(random());
  return pixels;
}

// Four colours at random: every string has several children in turn, the
// worst case for remembering each string's last child.
std::vector<std::uint8_t> FewColourNoiseFrame() {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(Width) * Height);
  std::mt19937 random(3);
  for (auto& pixel : pixels) pixel = static_cast<std::uint8_t>(random() % 4);
  return pixels;
}

template <class Encoder>
void EncodeFrame(benchmark::State& state, const std::vector<std::uint8_t>& pixels) {
  TDiscardBuffer discard;
  std::ostream out(&discard);
  for (auto _ : state) {
    Encoder encoder;
    encoder.CompressImage(out, 8, 256, pixels.data(), false, Height, Width);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(pixels.size()));
}

void BM_LzwPicture(benchmark::State& state) {
  EncodeFrame<tovasel::TLZWEncoder>(state, PictureFrame());
}
void BM_LzwNoise(benchmark::State& state) {
  EncodeFrame<tovasel::TLZWEncoder>(state, NoiseFrame());
}
void BM_LzwFewColourNoise(benchmark::State& state) {
  EncodeFrame<tovasel::TLZWEncoder>(state, FewColourNoiseFrame());
}
void BM_RlePicture(benchmark::State& state) {
  EncodeFrame<tovasel::TRLEEncoder>(state, PictureFrame());
}

BENCHMARK(BM_LzwPicture);
BENCHMARK(BM_LzwNoise);
BENCHMARK(BM_LzwFewColourNoise);
BENCHMARK(BM_RlePicture);

}  // namespace

BENCHMARK_MAIN();
