#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include "imaging/bitmap.h"
#include "imaging/imaging_error.h"
#include "imaging/pixel_conversion.h"

namespace tovasel {
namespace {

// One stored row in some format and the blue-green-red triples it must give.
struct ConversionRow {
  std::string name;
  TPixelFormat format;
  int width;
  std::vector<std::uint8_t> stored;
  std::vector<std::uint8_t> expected_bgr;
};

std::vector<TRGBQuad> Table() {
  // Index i = (blue 10 + i, green 20 + i, red 30 + i); index 3 is past the end.
  return {{10, 20, 30, 0}, {11, 21, 31, 0}, {12, 22, 32, 0}};
}

class PixelConversion : public ::testing::TestWithParam<ConversionRow> {};

TEST_P(PixelConversion, ExpandsOneRowToBlueGreenRed) {
  const ConversionRow& row = GetParam();
  TBitmap bitmap(row.width, 1, row.format);
  bitmap.ColorTable() = Table();
  std::copy(row.stored.begin(), row.stored.end(), bitmap.ScanLine(0));

  ConvertTo24Bit(bitmap);

  ASSERT_EQ(bitmap.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_TRUE(bitmap.ColorTable().empty());
  const std::vector<std::uint8_t> got(bitmap.ScanLine(0), bitmap.ScanLine(0) + 3 * row.width);
  EXPECT_EQ(got, row.expected_bgr);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PixelConversion,
    ::testing::Values(
        // Eight indices per byte, most significant bit first.
        ConversionRow{"OneBitMsbFirst", TPixelFormat::pf1bit, 3, {0b01000000},
                      {10, 20, 30, 11, 21, 31, 10, 20, 30}},
        // High nibble first; index 3 lies past the table and reads black.
        ConversionRow{"FourBitHighNibbleFirst", TPixelFormat::pf4bit, 3, {0x21, 0x30},
                      {12, 22, 32, 11, 21, 31, 0, 0, 0}},
        ConversionRow{"EightBitPastTableIsBlack", TPixelFormat::pf8bit, 2, {2, 200},
                      {12, 22, 32, 0, 0, 0}},
        // 0RRRRRGGGGGBBBBB: full red, half green (16 -> 132), blue 1 -> 8;
        // then blue 2 -> 16 alone.
        ConversionRow{"FifteenBit", TPixelFormat::pf15bit, 2, {0x01, 0x7E, 0x02, 0x00},
                      {8, 132, 255, 16, 0, 0}},
        // RRRRRGGGGGGBBBBB: red 0, green 63 -> 255, blue 31 -> 255; then red
        // 1 -> 8 alone.
        ConversionRow{"SixteenBit", TPixelFormat::pf16bit, 2, {0xFF, 0x07, 0x00, 0x08},
                      {255, 255, 0, 0, 0, 8}},
        ConversionRow{"ThirtyTwoBitDropsFourthByte", TPixelFormat::pf32bit, 2,
                      {1, 2, 3, 99, 4, 5, 6, 99}, {1, 2, 3, 4, 5, 6}},
        ConversionRow{"DeviceIsTwentyFourBit", TPixelFormat::pfDevice, 2, {1, 2, 3, 4, 5, 6},
                      {1, 2, 3, 4, 5, 6}}),
    [](const auto& info) { return info.param.name; });

TEST(Bitmap, KeepsTheMaskThroughConversion) {
  TBitmap bitmap(2, 2, TPixelFormat::pf8bit);
  bitmap.SetTransparent(true);
  ASSERT_EQ(bitmap.Mask().size(), 4u);
  bitmap.Mask()[3] = 1;
  ConvertTo24Bit(bitmap);
  EXPECT_TRUE(bitmap.Transparent());
  EXPECT_EQ(bitmap.Mask(), (std::vector<std::uint8_t>{0, 0, 0, 1}));
}

TEST(Bitmap, RefusesSizesItCannotHoldWithoutAllocating) {
  TBitmap bitmap(4, 4);
  EXPECT_THROW(bitmap.SetSize(60000, 60000), EInvalidGraphic);
  EXPECT_THROW(bitmap.SetSize(-1, 2), EInvalidGraphic);
  // A refused size leaves the bitmap as it was.
  EXPECT_EQ(bitmap.Width(), 4);
  EXPECT_EQ(bitmap.Height(), 4);
}

}  // namespace
}  // namespace tovasel

namespace tovasel {
namespace {

// The word-at-a-time expansion against one pixel at a time, with guard bytes
// after the row: the spilled fourth byte of a store must never pass the row.
class IndexedRowExpansion : public ::testing::TestWithParam<int> {};

TEST_P(IndexedRowExpansion, SameTriplesAndNothingWrittenPastTheRow) {
  const int width = GetParam();
  std::mt19937 random(static_cast<std::uint32_t>(width) + 7);
  std::array<TRGBQuad, 256> colors{};
  for (auto& c : colors) {
    c = TRGBQuad{static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()),
                 static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random())};
  }
  std::vector<std::uint8_t> indices(static_cast<std::size_t>(width));
  for (auto& index : indices) index = static_cast<std::uint8_t>(random());

  constexpr std::uint8_t Guard = 0xA5;
  std::vector<std::uint8_t> out(3 * static_cast<std::size_t>(width) + 8, Guard);
  TIndexedRowExpander(colors).Expand(indices.data(), width, out.data());

  std::vector<std::uint8_t> expected(out.size(), Guard);
  for (int x = 0; x < width; ++x) {
    const TRGBQuad& c = colors[indices[static_cast<std::size_t>(x)]];
    expected[3 * static_cast<std::size_t>(x)] = c.rgbBlue;
    expected[3 * static_cast<std::size_t>(x) + 1] = c.rgbGreen;
    expected[3 * static_cast<std::size_t>(x) + 2] = c.rgbRed;
  }
  EXPECT_EQ(out, expected);
}

INSTANTIATE_TEST_SUITE_P(Widths, IndexedRowExpansion, ::testing::Values(0, 1, 2, 3, 5, 64, 321));

}  // namespace
}  // namespace tovasel
