#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "colour/colour_quantizer.h"
#include "colour_test_support.h"
#include "imaging/dib.h"

namespace tovasel {
namespace {

using testing::MakeBitmap;
using testing::Rgb;

TColorPalette PaletteOf(const std::vector<Rgb>& pixels, int colours) {
  TBitmap bitmap = MakeBitmap(static_cast<int>(pixels.size()), 1, [&](int x, int) { return pixels[x]; });
  TDIBReader reader(bitmap, TPixelFormat::pf24bit);
  return BuildOctreePalette(reader, colours, 8, false);
}

TEST(Octree, CollapsesTheNewestNodeOfTheDeepestLevelFirst) {
  // Limit 2. The white pixel makes three leaves: the newest level-7 node
  // (white's, one child) folds first without gaining anything, then the
  // level-7 node holding (0,0,0) and (0,0,1). The palette is their truncated
  // average and white.
  EXPECT_EQ(PaletteOf({{0, 0, 0}, {0, 0, 1}, {255, 255, 255}}, 2),
            (TColorPalette{{0, 0, 0}, {255, 255, 255}}));
  // A fourth colour (0,0,2) splits off at level 6: its new level-7 node folds
  // first, then the level-6 nodes newest first — white's, then black's, which
  // gathers all three dark colours: (0 + 1 + 2) / 3 = 1.
  EXPECT_EQ(PaletteOf({{0, 0, 0}, {0, 0, 1}, {255, 255, 255}, {0, 0, 2}}, 2),
            (TColorPalette{{0, 0, 1}, {255, 255, 255}}));
}

TEST(Octree, MergedLeavesTakeTheTruncatedAverage) {
  EXPECT_EQ(PaletteOf({{0, 0, 1}, {0, 0, 2}}, 1), (TColorPalette{{0, 0, 1}}));
}

TEST(Octree, EntriesPastTheLeavesAreBlack) {
  EXPECT_EQ(PaletteOf({{10, 20, 30}}, 4), (TColorPalette{{10, 20, 30}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}}));
}

TEST(Octree, ListsFewColoursExactlyInTreeOrder) {
  // Tree order compares red's top bit, then green's, then blue's, then the
  // next bits down.
  EXPECT_EQ(PaletteOf({{255, 0, 0}, {0, 0, 255}, {0, 255, 0}, {0, 0, 128}, {0, 0, 127}}, 8),
            (TColorPalette{{0, 0, 127}, {0, 0, 128}, {0, 0, 255}, {0, 255, 0}, {255, 0, 0},
                           {0, 0, 0}, {0, 0, 0}, {0, 0, 0}}));
}

TEST(Octree, CountsBeyondThirtyTwoBitsKeepTheAverage) {
  // 9,000,000 white pixels sum to 2,295,000,000 per channel, past what a
  // 32-bit signed sum holds.
  TColorQuantizer quantizer(1, 8);
  for (int i = 0; i < 9'000'000; ++i) quantizer.AddColor(255, 255, 255);
  std::vector<TRGBQuad> table(1);
  ASSERT_EQ(quantizer.FillColorTable(table), 1);
  EXPECT_EQ(table[0], (TRGBQuad{255, 255, 255, 0}));
}

TEST(Octree, ReproducesAnyImageOfAtMostTheLimit) {
  for (unsigned seed = 1; seed <= 5; ++seed) {
    TBitmap bitmap = testing::RandomBitmap(40, 30, 200, seed);
    std::set<std::tuple<int, int, int>> colours;
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 40; ++x) {
        const Rgb c = testing::PixelOf(bitmap, x, y);
        colours.insert({c.r, c.g, c.b});
      }
    }
    TDIBReader reader(bitmap, TPixelFormat::pf24bit);
    const TColorPalette palette = BuildOctreePalette(reader, 256, 8, false);
    std::set<std::tuple<int, int, int>> found;
    for (std::size_t i = 0; i < colours.size(); ++i) found.insert({palette[i].Red, palette[i].Green, palette[i].Blue});
    EXPECT_EQ(found, colours) << "seed " << seed;
  }
}

TEST(Octree, SystemVariantFramesTheOctreeColours) {
  TBitmap bitmap = MakeBitmap(1, 1, [](int, int) { return Rgb{1, 2, 3}; });
  TDIBReader reader(bitmap, TPixelFormat::pf24bit);
  const TColorPalette palette = BuildOctreePalette(reader, 256, 8, true);
  ASSERT_EQ(palette.size(), 256u);
  EXPECT_EQ(palette[9], (TColorEntry{166, 202, 240}));
  EXPECT_EQ(palette[10], (TColorEntry{1, 2, 3}));
  EXPECT_EQ(palette[11], (TColorEntry{0, 0, 0}));
  EXPECT_EQ(palette[246], (TColorEntry{255, 251, 240}));
}

}  // namespace
}  // namespace tovasel
