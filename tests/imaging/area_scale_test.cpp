#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/area_scale.h"

namespace tovasel {
namespace {

struct FitCase {
  const char* Name;
  int Width, Height, Side;
  TPictureSize Expected;
};

class FitInsideTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitInsideTest, KeepsTheAspectAndNeverEnlarges) {
  const FitCase& c = GetParam();
  EXPECT_EQ(FitInside(c.Width, c.Height, c.Side), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, FitInsideTest,
    ::testing::Values(FitCase{"SmallerThanTheBoxStays", 5, 3, 128, {5, 3}},
                      FitCase{"WideFitsItsWidth", 320, 200, 128, {128, 80}},
                      FitCase{"TallFitsItsHeight", 200, 320, 128, {80, 128}},
                      FitCase{"ShortSideRoundsToNearest", 300, 200, 128, {128, 85}},
                      FitCase{"ThinLineKeepsOnePixel", 65535, 1, 16, {16, 1}},
                      FitCase{"BoxOfOne", 640, 480, 1, {1, 1}}),
    [](const auto& info) { return std::string(info.param.Name); });

// A bitmap whose pixels are given as (blue, green, red) triples, rows top
// first.
TBitmap Picture(int width, int height, const std::vector<std::uint8_t>& bgr) {
  TBitmap bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width * 3; ++x) bitmap.ScanLine(y)[x] = bgr[static_cast<std::size_t>(y * width * 3 + x)];
  }
  return bitmap;
}

std::vector<std::uint8_t> Pixels(const TBitmap& bitmap) {
  std::vector<std::uint8_t> bytes;
  for (int y = 0; y < bitmap.Height(); ++y) {
    bytes.insert(bytes.end(), bitmap.ScanLine(y), bitmap.ScanLine(y) + bitmap.Width() * 3);
  }
  return bytes;
}

struct ScaleCase {
  const char* Name;
  int Width, Height;
  std::vector<std::uint8_t> Source;
  TPictureSize Size;
  std::vector<std::uint8_t> Expected;
};

class ScaleDownTest : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ScaleDownTest, AveragesTheAreaEachPixelCovers) {
  const ScaleCase& c = GetParam();
  const TBitmap scaled = ScaleDown(Picture(c.Width, c.Height, c.Source), c.Size);
  EXPECT_EQ(scaled.Width(), c.Size.Width);
  EXPECT_EQ(scaled.Height(), c.Size.Height);
  EXPECT_EQ(Pixels(scaled), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, ScaleDownTest,
    ::testing::Values(
        ScaleCase{"SameSizeCopies", 2, 1, {1, 2, 3, 4, 5, 6}, {2, 1}, {1, 2, 3, 4, 5, 6}},
        // Each channel on its own: blue 0 and 100 average to 50, and so on.
        ScaleCase{"HalvesAverageTwoPixels", 2, 1, {0, 10, 255, 100, 20, 0}, {1, 1}, {50, 15, 128}},
        ScaleCase{"FourPixelsIntoOne", 2, 2, {0, 0, 0, 40, 40, 40, 80, 80, 80, 120, 120, 120}, {1, 1}, {60, 60, 60}},
        // Three pixels into two: the middle one is shared, a third to each.
        ScaleCase{"CutPixelCountsByItsShare", 3, 1, {0, 0, 0, 90, 90, 90, 180, 180, 180}, {2, 1},
                  {30, 30, 30, 150, 150, 150}},
        ScaleCase{"RowsAsColumns", 1, 3, {0, 0, 0, 90, 90, 90, 180, 180, 180}, {1, 2},
                  {30, 30, 30, 150, 150, 150}},
        ScaleCase{"FlatColourStaysExact", 5, 3, std::vector<std::uint8_t>(45, 77), {3, 2},
                  std::vector<std::uint8_t>(18, 77)}),
    [](const auto& info) { return std::string(info.param.Name); });

// The widest FLIC row of full white must not overflow the sums.
TEST(ScaleDown, WidestWhiteRowStaysWhite) {
  TBitmap wide(65535, 2);
  for (int y = 0; y < 2; ++y) std::fill(wide.ScanLine(y), wide.ScanLine(y) + 65535 * 3, 255);
  EXPECT_EQ(Pixels(ScaleDown(wide, {1, 1})), (std::vector<std::uint8_t>{255, 255, 255}));
}

}  // namespace
}  // namespace tovasel
