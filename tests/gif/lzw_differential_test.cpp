// The LZW encoder against the encoder written from the rules, byte for byte,
// on many generated frames: every code size, noise that restarts the table
// often, long runs that build long strings, interlacing, odd and tiny sizes, and several frames through one thread's
// table in a row.

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <sstream>
#include <string>

#include "gif/lzw_encoder.h"
#include "lzw_reference.h"

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

std::string Encoded(const FrameShape& shape, const std::vector<std::uint8_t>& pixels) {
  std::ostringstream out;
  TLZWEncoder encoder;
  encoder.CompressImage(out, shape.bits, 256, pixels.data(), shape.interlaced, shape.height, shape.width);
  return out.str();
}

std::string Reference(const FrameShape& shape, const std::vector<std::uint8_t>& pixels) {
  const std::vector<std::uint8_t> data = testing::ReferenceImageData(
      shape.interlaced ? testing::InterlaceOrder(pixels, shape.width, shape.height) : pixels, shape.bits);
  return std::string(data.begin(), data.end());
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
    }
  }
  // A few with a pixel range smaller than the code size allows.
  for (int i = 0; i < 8; ++i) {
    shapes.push_back({8, 2 + static_cast<int>(random() % 20), 1 + static_cast<int>(random() % 6), 200 + i, 150, i % 2 == 1});
  }
  return shapes;
}

class LzwFramesMatchReference : public ::testing::TestWithParam<FrameShape> {};

TEST_P(LzwFramesMatchReference, SameBytesOnSeveralSeeds) {
  const FrameShape& shape = GetParam();
  for (std::uint32_t seed = 1; seed <= 3; ++seed) {
    const std::vector<std::uint8_t> pixels = MakePixels(shape, seed);
    ASSERT_EQ(Encoded(shape, pixels), Reference(shape, pixels))
        << "seed " << seed;
  }
}

std::string ShapeName(const ::testing::TestParamInfo<FrameShape>& info) {
  const FrameShape& s = info.param;
  return "bits" + std::to_string(s.bits) + "_range" + std::to_string(s.pixelRange) + "_run" +
         std::to_string(s.maxRun) + "_" + std::to_string(s.width) + "x" + std::to_string(s.height) +
         (s.interlaced ? "_interlaced" : "") + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Frames, LzwFramesMatchReference, ::testing::ValuesIn(Shapes()),
                         ShapeName);

// Frames shaped like reduced animation pictures, where most strings recur:
// the encoder's shortcuts for strings it met before must give the codes a
// plain table gives, also across the table restarts of large frames.
// PatternsAndNoise repeats one row with a pixel changed here and there
// between bands of noise that fill the table and clear it: strings met
// before a Clear come back after it, now with other codes.
enum class Picture { Gradient, ShiftedRows, Tiles, SpritesOnFlat, FewColourNoise, PatternsAndNoise };

struct PictureShape {
  Picture kind;
  int bits;
  int width;
  int height;
  bool interlaced;
};

std::vector<std::uint8_t> MakePicture(const PictureShape& shape, std::uint32_t seed) {
  std::mt19937 random(seed);
  const int colours = 1 << shape.bits;
  const auto width = static_cast<std::size_t>(shape.width);
  std::vector<std::uint8_t> pixels(width * static_cast<std::size_t>(shape.height));
  std::vector<std::uint8_t> row(width);
  for (auto& value : row) value = static_cast<std::uint8_t>(random() % colours);
  const int tile = 3 + static_cast<int>(random() % 13);
  const int background = static_cast<int>(random() % colours);
  for (int y = 0; y < shape.height; ++y) {
    std::uint8_t* out = pixels.data() + static_cast<std::size_t>(y) * width;
    for (int x = 0; x < shape.width; ++x) {
      int value = 0;
      switch (shape.kind) {
        case Picture::Gradient: value = (x / 3 + y / 2 + static_cast<int>(seed)) % colours; break;
        case Picture::ShiftedRows: value = row[(static_cast<std::size_t>(x) + static_cast<std::size_t>(y / 4)) % width]; break;
        case Picture::Tiles: value = row[static_cast<std::size_t>((x % tile) + (y % tile) * 7) % width]; break;
        case Picture::SpritesOnFlat: {
          const int dx = x - shape.width / 2, dy = y - shape.height / 3;
          value = dx * dx + dy * dy < shape.width * 4 ? row[static_cast<std::size_t>(x)] : background;
          if ((x ^ y) % 97 == 0) value = static_cast<int>(random() % colours);
          break;
        }
        case Picture::FewColourNoise: value = static_cast<int>(random() % std::min(colours, 3)); break;
        case Picture::PatternsAndNoise:
          value = y % 24 < 16 ? row[static_cast<std::size_t>(x)] ^ static_cast<int>((x * 7 + y * 3) % 11 == 0)
                              : static_cast<int>(random() % colours);
          value %= colours;
          break;
      }
      out[x] = static_cast<std::uint8_t>(value);
    }
  }
  return pixels;
}

std::vector<PictureShape> PictureShapes() {
  std::vector<PictureShape> shapes;
  const int sizes[][2] = {{1, 1}, {2, 3}, {31, 17}, {320, 200}, {641, 480}};
  for (const Picture kind : {Picture::Gradient, Picture::ShiftedRows, Picture::Tiles, Picture::SpritesOnFlat,
                             Picture::FewColourNoise, Picture::PatternsAndNoise}) {
    for (const int bits : {1, 2, 5, 8}) {
      for (const auto& size : sizes) shapes.push_back({kind, bits, size[0], size[1], size[0] == 320});
    }
  }
  return shapes;
}

std::string PictureName(Picture kind) {
  switch (kind) {
    case Picture::Gradient: return "gradient";
    case Picture::ShiftedRows: return "shiftedRows";
    case Picture::Tiles: return "tiles";
    case Picture::SpritesOnFlat: return "sprites";
    case Picture::FewColourNoise: return "fewColourNoise";
    case Picture::PatternsAndNoise: return "patternsAndNoise";
  }
  return "unknown";
}

class LzwPicturesMatchReference : public ::testing::TestWithParam<PictureShape> {};

TEST_P(LzwPicturesMatchReference, SameBytesOnSeveralSeeds) {
  const PictureShape& picture = GetParam();
  const FrameShape shape{picture.bits, 1 << picture.bits, 1, picture.width, picture.height, picture.interlaced};
  for (std::uint32_t seed = 1; seed <= 3; ++seed) {
    const std::vector<std::uint8_t> pixels = MakePicture(picture, seed);
    ASSERT_EQ(Encoded(shape, pixels), Reference(shape, pixels))
        << "seed " << seed;
  }
}

INSTANTIATE_TEST_SUITE_P(Pictures, LzwPicturesMatchReference, ::testing::ValuesIn(PictureShapes()),
                         [](const auto& info) {
                           const PictureShape& s = info.param;
                           return PictureName(s.kind) + "_bits" + std::to_string(s.bits) +
                                  "_" + std::to_string(s.width) + "x" + std::to_string(s.height) +
                                  (s.interlaced ? "_interlaced" : "");
                         });

// Recorded codes written again for the same pixels under new values and at
// another code size must be the bytes of encoding the renamed pixels: for
// every renaming that keeps the values apart, at the same size always, and
// at another size whenever no table filled. A renaming that joins two values
// never carries over.
class LzwReplayMatchesEncoding : public ::testing::TestWithParam<FrameShape> {};

TEST_P(LzwReplayMatchesEncoding, RenamedAndResizedCodesAreTheRenamedPixelsCodes) {
  const FrameShape& shape = GetParam();
  std::mt19937 random(static_cast<unsigned>(shape.width * 31 + shape.height + shape.bits));
  for (std::uint32_t seed = 1; seed <= 3; ++seed) {
    const std::vector<std::uint8_t> pixels = MakePixels(shape, seed);
    const TRecordedLzw codes = RecordLzwCodes(pixels.data(), shape.width, shape.height, shape.interlaced, shape.bits);
    for (const int bits : {shape.bits, shape.bits + 1, std::max(1, shape.bits - 1), 8}) {
      if (bits > 8) continue;
      // The values in a random order, spread over the new table.
      std::vector<std::uint8_t> order(static_cast<std::size_t>(1) << bits);
      std::iota(order.begin(), order.end(), std::uint8_t{0});
      std::shuffle(order.begin(), order.end(), random);
      TColorTranslation renaming{};
      for (std::size_t v = 0; v < renaming.size(); ++v) renaming[v] = order[v % order.size()];
      std::vector<std::uint8_t> renamed = pixels;
      for (std::uint8_t& p : renamed) p = renaming[p];
      const bool apart = static_cast<int>(codes.Values.count()) <= (1 << bits) &&
                         std::all_of(pixels.begin(), pixels.end(), [&](std::uint8_t p) { return p < order.size(); });
      const bool sameSize = std::clamp(bits, 2, 8) == std::clamp(shape.bits, 2, 8);
      const int limit = 1 << bits;
      const bool carries = TLzwReplay::CarriesOver(codes, bits, limit, renaming);
      SCOPED_TRACE("seed " + std::to_string(seed) + " bits " + std::to_string(bits));
      if (apart && (sameSize || (codes.Clears == 1 && codes.Codes.size() < 2000))) {
        EXPECT_TRUE(carries);
      }
      if (!carries) continue;
      std::ostringstream replayed;
      TLzwReplay replay(codes, renaming);
      replay.CompressImage(replayed, bits, limit, renamed.data(), shape.interlaced, shape.height, shape.width);
      std::ostringstream encoded;
      TLZWEncoder encoder;
      encoder.CompressImage(encoded, bits, limit, renamed.data(), shape.interlaced, shape.height, shape.width);
      ASSERT_EQ(replayed.str(), encoded.str());
    }
    // Two values made one: the strings change.
    if (codes.Values.count() >= 2) {
      TColorTranslation joined{};
      std::iota(joined.begin(), joined.end(), std::uint8_t{0});
      std::size_t first = 0;
      while (!codes.Values[first]) ++first;
      std::size_t second = first + 1;
      while (!codes.Values[second]) ++second;
      joined[second] = static_cast<std::uint8_t>(first);
      EXPECT_FALSE(TLzwReplay::CarriesOver(codes, shape.bits, 1 << shape.bits, joined));
    }
  }
}

std::vector<FrameShape> ReplayShapes() {
  std::vector<FrameShape> shapes;
  for (const FrameShape& shape : Shapes()) {
    // Pixels as wide as the table allows: wider ones are refused anyway.
    if (shape.pixelRange <= (1 << shape.bits) && shape.width * shape.height >= 7) shapes.push_back(shape);
  }
  return shapes;
}

INSTANTIATE_TEST_SUITE_P(Frames, LzwReplayMatchesEncoding, ::testing::ValuesIn(ReplayShapes()),
                         ShapeName);

// The same picture twice, then one whose strings differ only in their last
// pixel: nothing the table learnt from one frame may answer for the next.
TEST(LzwTableReuse, RepeatedPicturesThenAVariantEncodeAsIfAlone) {
  const PictureShape picture{Picture::ShiftedRows, 8, 320, 200, false};
  const FrameShape shape{8, 256, 1, 320, 200, false};
  const auto first = MakePicture(picture, 7);
  auto variant = first;
  for (auto& value : variant) value = static_cast<std::uint8_t>(value ^ 1);
  const std::string firstAlone = Reference(shape, first);
  EXPECT_EQ(Encoded(shape, first), firstAlone);
  EXPECT_EQ(Encoded(shape, first), firstAlone);
  EXPECT_EQ(Encoded(shape, variant), Reference(shape, variant));
}

// A frame with wide pixels followed by narrow ones: the second must not see
// strings the first left in the thread's table.
TEST(LzwTableReuse, FramesInARowEncodeAsIfAlone) {
  const FrameShape wide{4, 256, 3, 120, 90, false};
  const FrameShape narrow{4, 16, 3, 120, 90, false};
  const auto widePixels = MakePixels(wide, 5);
  const auto narrowPixels = MakePixels(narrow, 6);
  const std::string alone = Reference(narrow, narrowPixels);
  // Pixels past the code size make no valid image (the writer's colour
  // table check keeps them from the encoder), but they must not leave
  // strings behind either.
  Encoded(wide, widePixels);
  EXPECT_EQ(Encoded(narrow, narrowPixels), alone);
  EXPECT_EQ(Encoded(narrow, narrowPixels), alone);
}

}  // namespace
}  // namespace tovasel
