#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "colour_test_support.h"
#include "gif/gif_exception.h"
#include "imaging/imaging_error.h"

namespace tovasel {
namespace {

using testing::MakeBitmap;
using testing::Rgb;

struct Report {
  TProgressStage stage;
  int percent;
  std::string message;
  friend bool operator==(const Report&, const Report&) = default;
};

class RecordingDocument : public ::testing::Test {
 protected:
  void SetUp() override {
    document.SetOnProgress([this](TGIFImage&, TProgressStage stage, int percent, const std::string& message) {
      reports.push_back({stage, percent, message});
    });
  }
  TGIFImage document;
  std::vector<Report> reports;
};

using DefaultImport = RecordingDocument;

TEST_F(DefaultImport, MapsOntoTheCubeWithA256EntryLocalMap) {
  const TBitmap source = MakeBitmap(3, 1, [](int x, int) {
    return x == 0 ? Rgb{47, 48, 255} : (x == 1 ? Rgb{255, 255, 255} : Rgb{100, 0, 160});
  });
  ASSERT_EQ(AddFrame(document, source), 0);
  const TGIFSubImage& frame = document.Frames().FrameAt(0);
  EXPECT_EQ(testing::PixelsOf(frame), (std::vector<std::uint8_t>{11, 215, 2 * 36 + 0 + 3}));
  const auto& colours = frame.LocalColors();
  ASSERT_EQ(colours.EntryCount(), 256);
  EXPECT_EQ(colours.Entries()[11], (TGIFColor{0, 51, 255}));
  for (int i = 216; i < 256; ++i) EXPECT_EQ(colours.Entries()[i], TGIFColor{}) << i;
  EXPECT_EQ(document.HeaderBlock().ScreenWidth(), 3);
  EXPECT_EQ(document.HeaderBlock().ScreenHeight(), 1);
}

TEST_F(DefaultImport, ReportsConvertingEveryThirtyTwoRows) {
  AddFrame(document, TBitmap(2, 70, TPixelFormat::pfDevice));
  const std::string m = "Converting...";
  EXPECT_EQ(reports, (std::vector<Report>{{TProgressStage::psStarting, 0, m},
                                          {TProgressStage::psRunning, 0, m},
                                          {TProgressStage::psRunning, 46, m},
                                          {TProgressStage::psRunning, 91, m},
                                          {TProgressStage::psEnding, 100, m}}));
}

TEST_F(DefaultImport, AnEmptyBitmapGivesABlankFrameWithoutReports) {
  ASSERT_EQ(AddFrame(document, TBitmap()), 0);
  EXPECT_TRUE(document.Frames().FrameAt(0).IsBlank());
  EXPECT_TRUE(reports.empty());
}

struct IndexedRow {
  std::string name;
  TPixelFormat format;
  std::vector<std::uint8_t> storedRow;
  std::vector<std::uint8_t> pixels;
};

class IndexedImport : public ::testing::TestWithParam<IndexedRow> {};

TEST_P(IndexedImport, KeepsIndicesAndPalette) {
  const IndexedRow& row = GetParam();
  TBitmap source(static_cast<int>(row.pixels.size()), 1, row.format);
  source.ColorTable() = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {9, 9, 9, 0}};
  std::copy(row.storedRow.begin(), row.storedRow.end(), source.ScanLine(0));
  TGIFImage document;
  AddFrame(document, source);
  const TGIFSubImage& frame = document.Frames().FrameAt(0);
  EXPECT_EQ(testing::PixelsOf(frame), row.pixels);
  EXPECT_EQ(testing::ColoursOf(frame.LocalColors()),
            (std::vector<TColor>{MakeColor(255, 0, 0), MakeColor(0, 255, 0), MakeColor(0, 0, 255), MakeColor(9, 9, 9)}));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, IndexedImport,
    ::testing::Values(IndexedRow{"EightBit", TPixelFormat::pf8bit, {3, 0, 2}, {3, 0, 2}},
                      IndexedRow{"FourBitHighNibbleFirst", TPixelFormat::pf4bit, {0x31, 0x20, 0x03}, {3, 1, 2, 0, 0}},
                      IndexedRow{"OneBitMostSignificantFirst", TPixelFormat::pf1bit, {0b10100000, 0b01000000},
                                 {1, 0, 1, 0, 0, 0, 0, 0, 0, 1}}),
    [](const auto& info) { return info.param.name; });

TEST(KeepColorsImport, CollectsColoursInOrderOfFirstAppearance) {
  TGIFImage document;
  document.SetReductionScheme(rsKeepColors);
  // 256 colours, every one repeated in a different place; the first row
  // runs through them backwards.
  const TBitmap source = MakeBitmap(256, 3, [](int x, int y) {
    const int k = y == 0 ? 255 - x : (x * 37 + y) % 256;
    return Rgb{static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(k ^ 0x55), 7};
  });
  AddFrame(document, source);
  const TGIFSubImage& frame = document.Frames().FrameAt(0);
  ASSERT_EQ(frame.LocalColors().EntryCount(), 256);
  for (int i = 0; i < 256; ++i) {
    const int k = 255 - i;
    ASSERT_EQ(frame.LocalColors().Entries()[i], (TGIFColor{static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(k ^ 0x55), 7}));
  }
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 256; ++x) {
      const int k = y == 0 ? 255 - x : (x * 37 + y) % 256;
      ASSERT_EQ(frame.PixelData()[y * 256 + x], 255 - k);
    }
  }
}

TEST(KeepColorsImport, ReturnsAnyImageOfAtMost256ColoursExactly) {
  for (unsigned seed = 1; seed <= 4; ++seed) {
    TGIFImage document;
    document.SetReductionScheme(rsKeepColors);
    const TBitmap source = testing::RandomBitmap(50, 40, 256, seed);
    AddFrame(document, source);
    const TGIFSubImage& frame = document.Frames().FrameAt(0);
    const auto colours = frame.LocalColors().Entries();
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 50; ++x) {
        const std::uint8_t index = frame.PixelData()[y * 50 + x];
        ASSERT_LT(index, colours.size());
        const Rgb want = testing::PixelOf(source, x, y);
        ASSERT_EQ(colours[index], (TGIFColor{want.r, want.g, want.b}));
      }
    }
  }
}

template <class Fn>
std::string MessageOf(Fn fn) {
  try {
    fn();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no error)";
}

struct FailingRow {
  std::string name;
  int scheme;
  int dither;
  int colours;
  std::string message;
};

class FailingImport : public ::testing::TestWithParam<FailingRow> {};

TEST_P(FailingImport, AddsNoFrameAndEndsItsProgress) {
  const FailingRow& row = GetParam();
  TGIFImage document;
  document.SetReductionScheme(static_cast<TReductionScheme>(row.scheme));
  document.SetDitherKind(static_cast<TDitherKind>(row.dither));
  std::vector<Report> reports;
  document.SetOnProgress([&](TGIFImage&, TProgressStage stage, int percent, const std::string& message) {
    reports.push_back({stage, percent, message});
  });
  const TBitmap source = MakeBitmap(row.colours, 1, [](int x, int) {
    return Rgb{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(x >> 8), 1};
  });
  EXPECT_EQ(MessageOf([&] { AddFrame(document, source); }), row.message);
  EXPECT_EQ(document.Frames().ItemCount(), 0);
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.back(), (Report{TProgressStage::psEnding, 0, "Converting..."}));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, FailingImport,
    ::testing::Values(FailingRow{"ColourTwoHundredFiftySeven", 0, 0, 257, "Color table overflow"},
                      FailingRow{"SchemeTen", 10, 0, 4, "Scan line index out of range"},
                      FailingRow{"DitherSeven", 6, 7, 4, "Scan line index out of range"}),
    [](const auto& info) { return info.param.name; });

TEST(TransparentImport, MasksPixelsWithANewBlackEntryAfterTheUsedColours) {
  TGIFImage document;
  TBitmap source = MakeBitmap(3, 2, [](int x, int) { return x == 0 ? Rgb{255, 0, 0} : Rgb{0, 0, 255}; });
  source.SetTransparent(true);
  source.Mask() = {0, 0, 1, 0, 0, 0};
  AddFrame(document, source);
  const TGIFSubImage& frame = document.Frames().FrameAt(0);
  // Blue (4 uses, one of them masked) sorts before red (2 uses); the unused
  // cube entries are dropped and black joins as entry 2.
  EXPECT_EQ(testing::ColoursOf(frame.LocalColors()),
            (std::vector<TColor>{MakeColor(0, 0, 255), MakeColor(255, 0, 0), MakeColor(0, 0, 0)}));
  EXPECT_EQ(testing::PixelsOf(frame), (std::vector<std::uint8_t>{1, 0, 2, 1, 0, 0}));
  ASSERT_NE(frame.ControlExtension(), nullptr);
  EXPECT_TRUE(frame.HasTransparency());
  EXPECT_EQ(frame.ControlExtension()->TransparentIndex(), 2);
}

TEST(TransparentImport, AnEmptyMaskAddsNothing) {
  TGIFImage document;
  TBitmap source = MakeBitmap(2, 1, [](int x, int) { return x == 0 ? Rgb{255, 0, 0} : Rgb{0, 0, 255}; });
  source.SetTransparent(true);
  AddFrame(document, source);
  const TGIFSubImage& frame = document.Frames().FrameAt(0);
  EXPECT_EQ(frame.LocalColors().EntryCount(), 2);
  EXPECT_EQ(frame.FrameExtensions().ItemCount(), 0);
  EXPECT_FALSE(frame.HasTransparency());
}

}  // namespace
}  // namespace tovasel
