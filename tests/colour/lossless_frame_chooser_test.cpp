// The frame chooser's fallback: a frame written as the plain conversion
// writes it, every pixel its own colour in a local table and the plain
// encoder's LZW bytes, whatever the global table holds.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "colour/lossless_frame_chooser.h"
#include "gif/lzw_encoder.h"

namespace tovasel {
namespace {

struct PlainCase {
  const char* name;
  std::vector<std::uint16_t> symbols;  // ids in order of appearance, T where clear
  int colours;
};

constexpr std::uint16_t T = kTransparentSymbol;

const PlainCase kPlainCases[] = {
    {"Opaque", {0, 1, 1, 2, 0, 2, 2, 2, 1, 0, 0, 1}, 3},
    {"ClearPixels", {0, T, T, 1, 0, 1, 1, T, 2, 3, 4, 1}, 5},
    {"OneColour", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 1},
};

class LosslessPlainFrameTest : public ::testing::TestWithParam<PlainCase> {};

TEST_P(LosslessPlainFrameTest, WritesThePlainEncodersBytesInALocalTable) {
  const PlainCase& row = GetParam();
  TFrameSymbols frame;
  frame.Symbols = row.symbols;
  frame.Unchanged.assign(row.symbols.size(), 1);
  for (int c = 0; c < row.colours; ++c) frame.Colours.push_back(0x010203 * (c + 1));
  // A global table holding every colour changes nothing.
  std::vector<std::int32_t> global(frame.Colours.rbegin(), frame.Colours.rend());
  TLosslessFrameChooser chooser(global, 1);
  TEncodedFrame result;
  ASSERT_TRUE(chooser.Plain(frame, result));

  bool clear = false;
  std::vector<std::uint8_t> indices;
  for (const std::uint16_t s : row.symbols) {
    clear = clear || s == T;
    indices.push_back(static_cast<std::uint8_t>(s == T ? row.colours : s));
  }
  EXPECT_TRUE(result.Local);
  EXPECT_FALSE(result.Interlaced);
  EXPECT_EQ(result.TransparentIndex, clear ? row.colours : -1);
  EXPECT_EQ(result.LocalBits, TableBits(row.colours + (clear ? 1 : 0)));
  ASSERT_EQ(result.LocalTable.size(), static_cast<std::size_t>(row.colours));
  for (int c = 0; c < row.colours; ++c) {
    EXPECT_EQ(result.LocalTable[static_cast<std::size_t>(c)].Red, c + 1);
    EXPECT_EQ(result.LocalTable[static_cast<std::size_t>(c)].Blue, 3 * (c + 1));
  }
  std::ostringstream plain(std::ios::binary);
  TLZWEncoder encoder;
  encoder.CompressImage(plain, std::max(2, TableBits(row.colours + (clear ? 1 : 0))), 256, indices.data(), false, 3,
                        4);
  EXPECT_EQ(result.Data, plain.str());
}

INSTANTIATE_TEST_SUITE_P(Frames, LosslessPlainFrameTest, ::testing::ValuesIn(kPlainCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovasel
