// The LZW encoder against the hashed-table encoder it replaced, byte for byte,
// on many generated frames: every code size, noise that restarts the table
// often, long runs that build long strings, pixels wider than the code size,
// interlacing, odd and tiny sizes, and several frames through one thread's
// table in a row.

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

#include "gif/lzw_encoder.h"
#include "lzw_hash_reference.h"

namespace tovasel {
namespace {

struct FrameShape {
  int bits;        // code size handed to the encoder
  int pixelRange;  // pixels drawn from 0 .. pixelRange - 1
  int maxRun;      // 1 = noise
  int width;
  int height;
  bool interlaced;
};

std::vector<std::uint8_t> MakePixels(const FrameShape& shape, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> colour(0, shape.pixelRange - 1);
  std::uniform_int_distribution<int> length(1, shape.maxRun);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(shape.width) * shape.height);
  for (std::size_t i = 0; i < pixels.size();) {
    const auto value = static_cast<std::uint8_t>(colour(random));
    for (int n = length(random); n > 0 && i < pixels.size(); --n) pixels[i++] = value;
  }
  return pixels;
}

template <class Encoder>
std::string Encoded(const FrameShape& shape, const std::vector<std::uint8_t>& pixels) {
  std::ostringstream out;
  Encoder encoder;
  encoder.CompressImage(out, shape.bits, 256, pixels.data(), shape.interlaced, shape.height, shape.width);
  return out.str();
}

std::vector<FrameShape> Shapes() {
  std::vector<FrameShape> shapes;
  std::mt19937 random(13);
  const int sizes[][2] = {{1, 1}, {1, 7}, {7, 1}, {3, 5}, {17, 9}, {64, 64}, {320, 200}, {333, 61}};
  for (int bits = 1; bits <= 8; ++bits) {
    for (const auto& size : sizes) {
      for (const int maxRun : {1, 3, 40}) {
        for (const bool interlaced : {false, true}) {
          const int range = std::min(1 << bits, 256);
          shapes.push_back({bits, range, maxRun, size[0], size[1], interlaced});
        }
      }
      // Wider pixels than the code size: the encoder must not fold them.
      if (bits < 8) shapes.push_back({bits, 256, 2, size[0], size[1], false});
    }
  }
  // A few with a pixel range smaller than the code size allows.
  for (int i = 0; i < 8; ++i) {
    shapes.push_back({8, 2 + static_cast<int>(random() % 20), 1 + static_cast<int>(random() % 6), 200 + i, 150, i % 2 == 1});
  }
  return shapes;
}

class LzwMatchesHashedEncoder : public ::testing::TestWithParam<FrameShape> {};

TEST_P(LzwMatchesHashedEncoder, SameBytesOnSeveralSeeds) {
  const FrameShape& shape = GetParam();
  for (std::uint32_t seed = 1; seed <= 3; ++seed) {
    const std::vector<std::uint8_t> pixels = MakePixels(shape, seed);
    ASSERT_EQ(Encoded<TLZWEncoder>(shape, pixels), Encoded<testing::THashedLZWEncoder>(shape, pixels))
        << "seed " << seed;
  }
}

INSTANTIATE_TEST_SUITE_P(Frames, LzwMatchesHashedEncoder, ::testing::ValuesIn(Shapes()),
                         [](const auto& info) {
                           const FrameShape& s = info.param;
                           return "bits" + std::to_string(s.bits) + "_range" + std::to_string(s.pixelRange) +
                                  "_run" + std::to_string(s.maxRun) + "_" + std::to_string(s.width) + "x" +
                                  std::to_string(s.height) + (s.interlaced ? "_interlaced" : "") + "_" +
                                  std::to_string(info.index);
                         });

// A frame with wide pixels followed by narrow ones: the second must not see
// strings the first left in the thread's table.
TEST(LzwTableReuse, FramesInARowEncodeAsIfAlone) {
  const FrameShape wide{4, 256, 3, 120, 90, false};
  const FrameShape narrow{4, 16, 3, 120, 90, false};
  const auto widePixels = MakePixels(wide, 5);
  const auto narrowPixels = MakePixels(narrow, 6);
  const std::string alone = Encoded<testing::THashedLZWEncoder>(narrow, narrowPixels);
  EXPECT_EQ(Encoded<TLZWEncoder>(wide, widePixels), Encoded<testing::THashedLZWEncoder>(wide, widePixels));
  EXPECT_EQ(Encoded<TLZWEncoder>(narrow, narrowPixels), alone);
  EXPECT_EQ(Encoded<TLZWEncoder>(narrow, narrowPixels), alone);
}

}  // namespace
}  // namespace tovasel
