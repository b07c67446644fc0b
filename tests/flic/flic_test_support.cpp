#include "flic_test_support.h"

#include <fstream>
#include <iterator>

namespace tovasel::testing {

std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void ExpectSameWalkState(const TFlicPlayer32& player, const TFlicDecoder& decoder) {
  EXPECT_EQ(decoder.IsOpen(), player.IsOpen());
  EXPECT_EQ(decoder.ErrorCode(), player.ErrorCode());
  EXPECT_EQ(decoder.CurrentFrame(), player.CurrentFrame());
  EXPECT_EQ(decoder.CurrentLoop(), player.CurrentLoop());
  EXPECT_EQ(DifferingPixels(PictureOf(decoder.Surface()), PictureOf(player.Surface())), 0);
  EXPECT_TRUE(decoder.Surface().ColorTable() == player.Surface().ColorTable());
}

fw::TIndexedPicture PatternPicture(int width, int height, unsigned seed) {
  fw::TIndexedPicture p(width, height);
  std::uint32_t s = seed * 2654435761u + 1;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width;) {
      s = s * 1664525u + 1013904223u;
      const int run = 1 + static_cast<int>((s >> 24) % 9);
      const auto value = static_cast<std::uint8_t>((s >> 8) & 0xFF);
      for (int i = 0; i < run && x < width; ++i, ++x) p.At(x, y) = value;
    }
  }
  return p;
}

fw::TColours PatternColours(unsigned seed) {
  fw::TColours c{};
  for (int i = 0; i < 256; ++i)
    c[i] = fw::TRgb{static_cast<std::uint8_t>(i * 4 + seed * 8), static_cast<std::uint8_t>(255 - i + seed * 4),
                    static_cast<std::uint8_t>((i * 12 + seed * 4) & 0xFC)};
  return c;
}

}  // namespace tovasel::testing
