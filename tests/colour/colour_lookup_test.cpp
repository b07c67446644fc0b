#include <gtest/gtest.h>

#include <string>

#include "colour/colour_lookup.h"
#include "colour/system_palettes.h"

namespace tovasel {
namespace {

struct MatchRow {
  std::string name;
  int red, green, blue;
  int index;
  int outRed, outGreen, outBlue;
};

void ExpectMatch(TColorLookup& lookup, const MatchRow& row) {
  std::uint8_t r = 1, g = 1, b = 1;
  EXPECT_EQ(lookup.MatchColor(row.red, row.green, row.blue, r, g, b), row.index);
  EXPECT_EQ(r, row.outRed);
  EXPECT_EQ(g, row.outGreen);
  EXPECT_EQ(b, row.outBlue);
}

class CubeLookup : public ::testing::TestWithParam<MatchRow> {};
TEST_P(CubeLookup, MapsEachChannelToItsLevel) {
  TNetscapeColorLookup lookup;
  ExpectMatch(lookup, GetParam());
}
INSTANTIATE_TEST_SUITE_P(
    Colours, CubeLookup,
    ::testing::Values(MatchRow{"LevelBoundaries", 47, 48, 255, 11, 0, 51, 255},
                      MatchRow{"NinetyEightIsLevelOne", 98, 99, 0, 36 + 12, 51, 102, 0},
                      MatchRow{"White", 255, 255, 255, 215, 255, 255, 255},
                      MatchRow{"Black", 0, 0, 0, 0, 0, 0, 0}),
    [](const auto& info) { return info.param.name; });

class GreyScaleLookup : public ::testing::TestWithParam<MatchRow> {};
TEST_P(GreyScaleLookup, UsesTheWeightedLuminance) {
  TGrayScaleLookup lookup;
  ExpectMatch(lookup, GetParam());
}
INSTANTIATE_TEST_SUITE_P(
    Colours, GreyScaleLookup,
    ::testing::Values(MatchRow{"GreyIsItsOwnLevel", 90, 90, 90, 90, 90, 90, 90},
                      MatchRow{"PureRed", 255, 0, 0, 76, 76, 76, 76},
                      MatchRow{"White", 255, 255, 255, 255, 255, 255, 255}),
    [](const auto& info) { return info.param.name; });

class MonochromeLookup : public ::testing::TestWithParam<MatchRow> {};
TEST_P(MonochromeLookup, SplitsBetween32512And32513) {
  TMonochromeLookup lookup;
  ExpectMatch(lookup, GetParam());
}
INSTANTIATE_TEST_SUITE_P(
    Colours, MonochromeLookup,
    // 77 * 4 + 150 * 200 + 29 * 76 = 32512; 77 * 1 + 150 * 200 + 29 * 84 = 32513.
    ::testing::Values(MatchRow{"Sum32512IsBlack", 4, 200, 76, 0, 0, 0, 0},
                      MatchRow{"Sum32513IsWhite", 1, 200, 84, 1, 255, 255, 255}),
    [](const auto& info) { return info.param.name; });

TEST(FastColorLookup, TheFirstPaletteEntryOfACellWins) {
  // Entries 0 and 2 share the cell of (8..15, 8..15, 8..15).
  TFastColorLookup lookup({{9, 9, 9}, {200, 200, 200}, {10, 10, 10}});
  std::uint8_t r, g, b;
  EXPECT_EQ(lookup.MatchColor(10, 10, 10, r, g, b), 0);
  EXPECT_EQ(r, 9);
}

TEST(FastColorLookup, NearestSearchPrefersTheLowestIndexOnATie) {
  // (100, 100, 100) is 30 away from both entries.
  TFastColorLookup lookup({{90, 90, 90}, {110, 110, 110}});
  std::uint8_t r, g, b;
  EXPECT_EQ(lookup.MatchColor(100, 100, 100, r, g, b), 0);
}

TEST(FastColorLookup, ACellAnswersForTheFirstColourThatReachedIt) {
  // 64 is equally far from 0 and 128 (index 0 wins); 71 is nearer 128. Both
  // lie in the same cell, so whichever comes first decides for both.
  {
    TFastColorLookup lookup(Gray4Palette());
    std::uint8_t r, g, b;
    EXPECT_EQ(lookup.MatchColor(64, 64, 64, r, g, b), 0);
    EXPECT_EQ(lookup.MatchColor(71, 71, 71, r, g, b), 0);
  }
  {
    TFastColorLookup lookup(Gray4Palette());
    std::uint8_t r, g, b;
    EXPECT_EQ(lookup.MatchColor(71, 71, 71, r, g, b), 1);
    EXPECT_EQ(lookup.MatchColor(64, 64, 64, r, g, b), 1);
  }
}

TEST(FixedPalettes, HaveTheirDocumentedShapes) {
  ASSERT_EQ(SystemColors20().size(), 20u);
  EXPECT_EQ(SystemColors20()[9], (TColorEntry{166, 202, 240}));
  EXPECT_EQ(SystemColors20()[10], (TColorEntry{255, 251, 240}));
  ASSERT_EQ(Halftone256().size(), 256u);
  EXPECT_EQ(Halftone256()[0], SystemColors20()[0]);
  EXPECT_EQ(Halftone256()[10 + 36 * 5 + 6 * 2 + 1], (TColorEntry{255, 102, 51}));
  EXPECT_EQ(Halftone256()[255], SystemColors20()[19]);
  ASSERT_EQ(WebCube216Palette().size(), 216u);
  EXPECT_EQ(WebCube216Palette()[11], (TColorEntry{0, 51, 255}));
}

}  // namespace
}  // namespace tovasel
