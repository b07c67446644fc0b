#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "colour/colour_map_sort.h"
#include "colour/quick_sort.h"
#include "colour_test_support.h"

namespace tovasel {
namespace {

using testing::AddHandFrame;
using testing::ColoursOf;
using testing::MakeTransparent;
using testing::PixelsOf;

const TColor kRed = MakeColor(255, 0, 0);
const TColor kGreen = MakeColor(0, 255, 0);
const TColor kBlue = MakeColor(0, 0, 255);
const TColor kWhite = MakeColor(255, 255, 255);
const TColor kBlack = MakeColor(0, 0, 0);

// --- the quicksort ---------------------------------------------------------

struct SortRow {
  std::string name;
  std::vector<int> keys;
  // Positions of the original items after sorting, largest key first.
  std::vector<int> order;
};

class QuickSortTies : public ::testing::TestWithParam<SortRow> {};

TEST_P(QuickSortTies, LeaveEqualKeysInTheProceduresOrder) {
  const SortRow& row = GetParam();
  std::vector<std::pair<int, int>> items;
  for (std::size_t i = 0; i < row.keys.size(); ++i) items.push_back({row.keys[i], static_cast<int>(i)});
  QuickSort(items, [](const auto& a, const auto& b) { return LargestFirst(a.first, b.first); });
  std::vector<int> order;
  for (const auto& item : items) order.push_back(item.second);
  EXPECT_EQ(order, row.order);
}

// Worked by hand from the procedure: the first pass swaps the outermost
// equal pair, so ties come out reversed rather than kept.
INSTANTIATE_TEST_SUITE_P(
    Keys, QuickSortTies,
    ::testing::Values(SortRow{"TwoEqualSwap", {5, 5}, {1, 0}}, SortRow{"ThreeEqualReverse", {5, 5, 5}, {2, 1, 0}},
                      SortRow{"UnusedTailReordered", {0, 2, 1, 0}, {1, 2, 3, 0}},
                      SortRow{"AlreadyDescendingDistinct", {9, 4, 1}, {0, 1, 2}}),
    [](const auto& info) { return info.param.name; });

// --- SortByUse -------------------------------------------------------------

TEST(SortByUse, EquallyUsedColoursAreReversed) {
  TGIFImage document;
  TGIFSubImage& frame = AddHandFrame(document, 0, 0, 3, 1, {kRed, kGreen, kBlue}, {0, 1, 2});
  EXPECT_TRUE(SortByUse(frame.LocalColors()));
  EXPECT_EQ(ColoursOf(frame.LocalColors()), (std::vector<TColor>{kBlue, kGreen, kRed}));
  EXPECT_EQ(PixelsOf(frame), (std::vector<std::uint8_t>{2, 1, 0}));
  EXPECT_TRUE(frame.LocalColors().IsSorted());
}

TEST(SortByUse, DropsTheUnusedTailAndTranslatesTheTransparentIndex) {
  TGIFImage document;
  TGIFSubImage& frame = AddHandFrame(document, 0, 0, 3, 1, {kRed, kGreen, kBlue, kWhite}, {1, 2, 1});
  MakeTransparent(frame, 2);
  EXPECT_TRUE(SortByUse(frame.LocalColors()));
  EXPECT_EQ(ColoursOf(frame.LocalColors()), (std::vector<TColor>{kGreen, kBlue}));
  EXPECT_EQ(PixelsOf(frame), (std::vector<std::uint8_t>{0, 1, 0}));
  EXPECT_EQ(frame.ControlExtension()->TransparentIndex(), 1);
}

TEST(SortByUse, AMapAlreadyInOrderKeepsEvenItsUnusedEntries) {
  TGIFImage document;
  TGIFSubImage& frame = AddHandFrame(document, 0, 0, 3, 1, {kRed, kGreen, kBlue}, {0, 0, 1});
  EXPECT_TRUE(SortByUse(frame.LocalColors()));
  EXPECT_EQ(frame.LocalColors().EntryCount(), 3);
  EXPECT_EQ(PixelsOf(frame), (std::vector<std::uint8_t>{0, 0, 1}));
}

TEST(SortByUse, TheGlobalMapCountsEveryFrameWithoutLocalColours) {
  TGIFImage document;
  document.GlobalColors().AppendColor(kRed);
  document.GlobalColors().AppendColor(kBlue);
  TGIFSubImage& a = AddHandFrame(document, 0, 0, 2, 1, {}, {1, 0});
  TGIFSubImage& b = AddHandFrame(document, 0, 0, 2, 1, {}, {1, 1});
  // A frame with its own map is not drawn with the global one.
  TGIFSubImage& c = AddHandFrame(document, 0, 0, 2, 1, {kGreen, kWhite}, {0, 0});
  EXPECT_TRUE(SortByUse(document.GlobalColors()));
  EXPECT_EQ(ColoursOf(document.GlobalColors()), (std::vector<TColor>{kBlue, kRed}));
  EXPECT_EQ(PixelsOf(a), (std::vector<std::uint8_t>{0, 1}));
  EXPECT_EQ(PixelsOf(b), (std::vector<std::uint8_t>{0, 0}));
  EXPECT_EQ(PixelsOf(c), (std::vector<std::uint8_t>{0, 0}));
}

// --- PackColorMaps ---------------------------------------------------------

TEST(PackColorMaps, MergesOneColourHeldAtDifferentIndices) {
  TGIFImage document;
  // Red: 1 + 3 uses, green 3, blue 2.
  TGIFSubImage& a = AddHandFrame(document, 0, 0, 4, 1, {kRed, kGreen}, {0, 1, 1, 1});
  TGIFSubImage& b = AddHandFrame(document, 0, 0, 5, 1, {kBlue, kRed}, {1, 1, 0, 1, 0});
  PackColorMaps(document);
  EXPECT_EQ(ColoursOf(document.GlobalColors()), (std::vector<TColor>{kRed, kGreen, kBlue}));
  EXPECT_TRUE(document.GlobalColors().IsSorted());
  EXPECT_TRUE(a.LocalColors().Empty());
  EXPECT_TRUE(b.LocalColors().Empty());
  EXPECT_EQ(PixelsOf(a), (std::vector<std::uint8_t>{0, 1, 1, 1}));
  EXPECT_EQ(PixelsOf(b), (std::vector<std::uint8_t>{0, 0, 2, 0, 2}));
}

TEST(PackColorMaps, EquallyUsedColoursFollowTheSortsTieOrder) {
  // Each colour once. Pruning swaps the two tallies, the colour sort puts
  // blue (0xFF0000) before red (0x0000FF), and the use sort swaps them back:
  // red comes first whichever order the map had.
  for (const auto& map : {std::vector<TColor>{kRed, kBlue}, std::vector<TColor>{kBlue, kRed}}) {
    TGIFImage document;
    AddHandFrame(document, 0, 0, 2, 1, map, {0, 1});
    PackColorMaps(document);
    EXPECT_EQ(ColoursOf(document.GlobalColors()), (std::vector<TColor>{kRed, kBlue}));
  }
}

TEST(PackColorMaps, KeepsThe256MostUsedAndSendsTheRestToTheNearestSum) {
  // 300 distinct colours, colour k used 400 - k times. Colour 0 is blue;
  // colour 299, red, does not fit and goes to the first kept colour whose
  // channels sum to 255 too: blue, index 0.
  auto colourOf = [](int k) -> TColor {
    if (k == 0) return kBlue;
    if (k == 299) return kRed;
    return MakeColor(static_cast<std::uint8_t>(k % 256), static_cast<std::uint8_t>(k / 256 + 10), 100);
  };
  auto build = [&](int first, int last) {
    std::vector<TColor> map;
    std::vector<std::uint8_t> pixels;
    for (int k = first; k <= last; ++k) {
      map.push_back(colourOf(k));
      pixels.insert(pixels.end(), static_cast<std::size_t>(400 - k), static_cast<std::uint8_t>(k - first));
    }
    return std::make_pair(map, pixels);
  };
  TGIFImage document;
  const auto [mapA, pixelsA] = build(0, 199);
  const auto [mapB, pixelsB] = build(200, 299);
  AddHandFrame(document, 0, 0, static_cast<int>(pixelsA.size()), 1, mapA, pixelsA);
  TGIFSubImage& b = AddHandFrame(document, 0, 0, static_cast<int>(pixelsB.size()), 1, mapB, pixelsB);
  PackColorMaps(document);
  ASSERT_EQ(document.GlobalColors().EntryCount(), 256);
  for (int k = 0; k < 256; ++k) ASSERT_EQ(document.GlobalColors().Entries()[k].Value(), colourOf(k)) << k;
  EXPECT_EQ(b.PixelData()[b.PixelDataSize() - 1], 0);  // red, the last pixel
  // Colour 256 = (0, 11, 100) sums to 111: the nearest sum among the kept is
  // colour 1 = (1, 10, 100), also 111.
  EXPECT_EQ(b.PixelData()[0], 200);                    // colour 200 is kept at 200
  const std::size_t firstOf256 = [&] {
    std::size_t offset = 0;
    for (int k = 200; k < 256; ++k) offset += static_cast<std::size_t>(400 - k);
    return offset;
  }();
  EXPECT_EQ(b.PixelData()[firstOf256], 1);
}

TEST(PackColorMaps, AddsOneSharedBlackTransparentEntry) {
  TGIFImage document;
  TGIFSubImage& a = AddHandFrame(document, 0, 0, 3, 1, {kRed, kWhite, kGreen}, {0, 1, 2});
  MakeTransparent(a, 1);
  TGIFSubImage& b = AddHandFrame(document, 0, 0, 2, 1, {kGreen, kBlue}, {0, 1});
  MakeTransparent(b, 1);
  PackColorMaps(document);
  // Green 2 uses, red 1; white and blue are transparent and not counted.
  EXPECT_EQ(ColoursOf(document.GlobalColors()), (std::vector<TColor>{kGreen, kRed, kBlack}));
  EXPECT_EQ(PixelsOf(a), (std::vector<std::uint8_t>{1, 2, 0}));
  EXPECT_EQ(PixelsOf(b), (std::vector<std::uint8_t>{0, 2}));
  EXPECT_EQ(a.ControlExtension()->TransparentIndex(), 2);
  EXPECT_EQ(b.ControlExtension()->TransparentIndex(), 2);
}

TEST(PackColorMaps, ATransparentIndexThatNeverOccursIsDropped) {
  TGIFImage document;
  TGIFSubImage& a = AddHandFrame(document, 0, 0, 2, 1, {kRed, kBlue, kWhite}, {0, 1});
  MakeTransparent(a, 2);
  PackColorMaps(document);
  EXPECT_FALSE(a.HasTransparency());
  EXPECT_EQ(a.ControlExtension()->TransparentIndex(), 0);
  EXPECT_EQ(document.GlobalColors().EntryCount(), 2);
}

TEST(PackColorMaps, RepairsIndicesOutsideTheMapWithAWarning) {
  TGIFImage document;
  std::vector<std::string> warnings;
  document.SetWarningHandler([&](TGIFImage&, int severity, const std::string& message) {
    EXPECT_EQ(severity, 1);
    warnings.push_back(message);
  });
  TGIFSubImage& a = AddHandFrame(document, 0, 0, 3, 1, {kRed, kBlue}, {1, 9, 1});
  PackColorMaps(document);
  EXPECT_EQ(warnings, (std::vector<std::string>{"Color not in color table"}));
  // Red now counts the repaired pixel: 1 use against blue's 2.
  EXPECT_EQ(ColoursOf(document.GlobalColors()), (std::vector<TColor>{kBlue, kRed}));
  EXPECT_EQ(PixelsOf(a), (std::vector<std::uint8_t>{0, 1, 0}));
}

TEST(PackColorMaps, OneDefaultImportedColourGivesAOneEntryMap) {
  TGIFImage document;
  AddFrame(document, testing::MakeBitmap(4, 4, [](int, int) { return testing::Rgb{255, 0, 0}; }));
  PackColorMaps(document);
  EXPECT_EQ(ColoursOf(document.GlobalColors()), (std::vector<TColor>{kRed}));
  EXPECT_TRUE(document.Frames().FrameAt(0).LocalColors().Empty());
  // A second call, as the application makes after every frame, finds the
  // same answer through the global map.
  PackColorMaps(document);
  EXPECT_EQ(ColoursOf(document.GlobalColors()), (std::vector<TColor>{kRed}));
}

}  // namespace
}  // namespace tovasel
