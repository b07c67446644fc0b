#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "colour/frame_passes.h"
#include "colour_test_support.h"
#include "gif/application_extension.h"
#include "gif/gif_exception.h"
#include "gif/text_extensions.h"

namespace tovasel {
namespace {

using testing::AddControl;
using testing::AddHandFrame;
using testing::ColoursOf;
using testing::MakeTransparent;
using testing::PixelsOf;

const TColor kRed = MakeColor(255, 0, 0);
const TColor kBlue = MakeColor(0, 0, 255);
const TColor kBlack = MakeColor(0, 0, 0);

// --- CropToContent ---------------------------------------------------------

TEST(CropToContent, CutsTheTransparentBorderAndKeepsThePixels) {
  TGIFImage document;
  // 5 x 4, transparent index 2, content in columns 1..3 of rows 1..2.
  TGIFSubImage& frame = AddHandFrame(document, 10, 20, 5, 4, {kRed, kBlue, kBlack},
                                     {2, 2, 2, 2, 2,  //
                                      2, 0, 2, 1, 2,  //
                                      2, 2, 1, 2, 2,  //
                                      2, 2, 2, 2, 2});
  MakeTransparent(frame, 2);
  CropToContent(frame);
  EXPECT_EQ(frame.FrameLeft(), 11);
  EXPECT_EQ(frame.FrameTop(), 21);
  EXPECT_EQ(frame.FrameWidth(), 3);
  EXPECT_EQ(frame.FrameHeight(), 2);
  EXPECT_EQ(PixelsOf(frame), (std::vector<std::uint8_t>{0, 2, 1, 2, 1, 2}));
  EXPECT_EQ(document.HeaderBlock().ScreenWidth(), 15);
  EXPECT_EQ(document.HeaderBlock().ScreenHeight(), 24);
}

TEST(CropToContent, ClearsAWhollyTransparentFrame) {
  TGIFImage document;
  TGIFSubImage& frame = AddHandFrame(document, 0, 0, 2, 2, {kRed, kBlack}, {1, 1, 1, 1});
  MakeTransparent(frame, 1);
  CropToContent(frame);
  EXPECT_TRUE(frame.IsBlank());
  EXPECT_EQ(frame.FrameExtensions().ItemCount(), 0);
  EXPECT_EQ(frame.ControlExtension(), nullptr);
}

// --- MergeWithPrevious ---------------------------------------------------------

TEST(MergeWithPrevious, RepeatedPixelsTakeANewBlackEntry) {
  TGIFImage document;
  TGIFSubImage& first = AddHandFrame(document, 0, 0, 3, 1, {kRed, kBlue}, {0, 1, 0});
  TGIFSubImage& second = AddHandFrame(document, 1, 0, 3, 1, {kBlue, kRed}, {0, 0, 1});
  MergeWithPrevious(second, &first);
  // Screen x = 1, 2 overlap: blue over blue matches by colour, blue over red
  // does not. x = 3 lies outside the first frame.
  EXPECT_EQ(ColoursOf(second.LocalColors()), (std::vector<TColor>{kBlue, kRed, kBlack}));
  EXPECT_EQ(PixelsOf(second), (std::vector<std::uint8_t>{2, 0, 1}));
  ASSERT_NE(second.ControlExtension(), nullptr);
  EXPECT_TRUE(second.HasTransparency());
  EXPECT_EQ(second.ControlExtension()->TransparentIndex(), 2);
}

TEST(MergeWithPrevious, AFullMapWithoutTransparencyIsNeverMerged) {
  TGIFImage document;
  AddFrame(document, testing::MakeBitmap(2, 2, [](int, int) { return testing::Rgb{0, 0, 0}; }));
  AddFrame(document, testing::MakeBitmap(2, 2, [](int, int) { return testing::Rgb{0, 0, 0}; }));
  TGIFSubImage& second = document.Frames().FrameAt(1);
  MergeWithPrevious(second, &document.Frames().FrameAt(0));
  EXPECT_EQ(PixelsOf(second), (std::vector<std::uint8_t>{0, 0, 0, 0}));
  EXPECT_FALSE(second.HasTransparency());
}

TEST(MergeWithPrevious, SkipsTransparentPixelsOnEitherSide) {
  TGIFImage document;
  TGIFSubImage& first = AddHandFrame(document, 0, 0, 3, 1, {kRed, kBlue}, {0, 1, 1});
  MakeTransparent(first, 1);
  TGIFSubImage& second = AddHandFrame(document, 0, 0, 3, 1, {kRed, kBlue}, {0, 1, 1});
  MakeTransparent(second, 0);
  MergeWithPrevious(second, &first);
  // Pixel 0 is already transparent in the second frame; pixels 1 and 2 lie
  // over the first frame's transparent pixels, which match nothing.
  EXPECT_EQ(PixelsOf(second), (std::vector<std::uint8_t>{0, 1, 1}));
}

TEST(MergeWithPrevious, FramesOnTheGlobalMapShareOneTransparentIndex) {
  TGIFImage document;
  document.GlobalColors().AppendColor(kRed);
  document.GlobalColors().AppendColor(kBlue);
  document.GlobalColors().AppendColor(kBlack);
  TGIFSubImage& a = AddHandFrame(document, 0, 0, 2, 1, {}, {0, 2});
  MakeTransparent(a, 2);
  TGIFSubImage& b = AddHandFrame(document, 0, 0, 2, 1, {}, {0, 1});
  TGIFSubImage& c = AddHandFrame(document, 0, 0, 2, 1, {}, {0, 0});
  MergeWithPrevious(c, &b);
  EXPECT_EQ(PixelsOf(c), (std::vector<std::uint8_t>{2, 0}));
  EXPECT_EQ(c.ControlExtension()->TransparentIndex(), 2);
  EXPECT_EQ(document.GlobalColors().EntryCount(), 3);
}

// --- CompactFrames ---------------------------------------------------------

struct DeletedFrameRow {
  std::string name;
  bool previousTransparent;
  int expectedPreviousDelay;
};

class CropDeletesBlankFrames : public ::testing::TestWithParam<DeletedFrameRow> {};

TEST_P(CropDeletesBlankFrames, MovingTheDelayOnlyToATransparentPredecessor) {
  const DeletedFrameRow& row = GetParam();
  TGIFImage document;
  TGIFSubImage& first = AddHandFrame(document, 0, 0, 2, 1, {kRed, kBlack}, {0, 0});
  TGIFGraphicControlExtension& firstControl = AddControl(first);
  firstControl.SetDelayTime(65530);
  if (row.previousTransparent) MakeTransparent(first, 1);
  TGIFSubImage& second = AddHandFrame(document, 0, 0, 2, 1, {kRed, kBlack}, {1, 1});
  MakeTransparent(second, 1).SetDelayTime(10);
  CompactFrames(document, coCropFrames);
  ASSERT_EQ(document.Frames().ItemCount(), 1);
  // The delay is 16-bit and wraps.
  EXPECT_EQ(document.Frames().FrameAt(0).ControlExtension()->DelayTime(), row.expectedPreviousDelay);
}

INSTANTIATE_TEST_SUITE_P(Previous, CropDeletesBlankFrames,
                         ::testing::Values(DeletedFrameRow{"Transparent", true, 4},
                                           DeletedFrameRow{"Opaque", false, 65530}),
                         [](const auto& info) { return info.param.name; });

TEST(CompactFrames, IdenticalOpaqueFramesOnTheGlobalMapMergeAndVanish) {
  TGIFImage document;
  document.GlobalColors().AppendColor(kRed);
  document.GlobalColors().AppendColor(kBlue);
  TGIFSubImage& first = AddHandFrame(document, 0, 0, 2, 2, {}, {0, 1, 1, 0});
  AddControl(first).SetDelayTime(5);
  TGIFSubImage& second = AddHandFrame(document, 0, 0, 2, 2, {}, {0, 1, 1, 0});
  AddControl(second).SetDelayTime(7);
  CompactFrames(document, coMergeUnchanged | coCropFrames);
  ASSERT_EQ(document.Frames().ItemCount(), 1);
  EXPECT_EQ(first.ControlExtension()->DelayTime(), 5);
  EXPECT_EQ(ColoursOf(document.GlobalColors()), (std::vector<TColor>{kRed, kBlue, kBlack}));
}

TEST(CompactFrames, FramesRestoringThePreviousAreSkippedAsMergeSources) {
  TGIFImage document;
  TGIFSubImage& a = AddHandFrame(document, 0, 0, 2, 1, {kRed, kBlue}, {0, 1});
  TGIFSubImage& b = AddHandFrame(document, 0, 0, 2, 1, {kRed, kBlue}, {1, 1});
  AddControl(b).SetDisposalMethod(3);
  TGIFSubImage& c = AddHandFrame(document, 0, 0, 2, 1, {kRed, kBlue}, {0, 0});
  CompactFrames(document, coMergeUnchanged);
  // c is compared with a (b restores what was under it): pixel 0 repeats.
  EXPECT_EQ(PixelsOf(c), (std::vector<std::uint8_t>{2, 0}));
  // b itself is compared with a: pixel 1 repeats.
  EXPECT_EQ(PixelsOf(b), (std::vector<std::uint8_t>{1, 2}));
  EXPECT_EQ(PixelsOf(a), (std::vector<std::uint8_t>{0, 1}));
}

TEST(CompactFrames, APreviousFrameRestoredToBackgroundPreventsMerging) {
  TGIFImage document;
  TGIFSubImage& a = AddHandFrame(document, 0, 0, 2, 1, {kRed, kBlue}, {0, 1});
  AddControl(a).SetDisposalMethod(2);
  TGIFSubImage& b = AddHandFrame(document, 0, 0, 2, 1, {kRed, kBlue}, {0, 1});
  CompactFrames(document, coMergeUnchanged);
  EXPECT_EQ(PixelsOf(b), (std::vector<std::uint8_t>{0, 1}));
  EXPECT_FALSE(b.HasTransparency());
}

TEST(CompactFrames, CropAloneLeavesOpaqueFramesUnchanged) {
  TGIFImage document;
  TGIFSubImage& a = AddHandFrame(document, 0, 0, 3, 1, {kRed, kBlue}, {1, 1, 0});
  CompactFrames(document, coCropFrames);
  EXPECT_EQ(a.FrameWidth(), 3);
  EXPECT_EQ(PixelsOf(a), (std::vector<std::uint8_t>{1, 1, 0}));
}

TEST(CompactFrames, CleanupOfASingleFrameStripsItsExtensions) {
  TGIFImage document;
  TGIFSubImage& a = AddHandFrame(document, 0, 0, 2, 1, {kRed, kBlue}, {0, 1});
  auto loop = std::make_unique<TGIFAppExtNSLoop>(a);
  a.FrameExtensions().Append(std::move(loop));
  AddControl(a).SetDelayTime(20);
  a.FrameExtensions().Append(std::make_unique<TGIFCommentExtension>(a));
  CompactFrames(document, coCleanup);
  EXPECT_EQ(a.FrameExtensions().ItemCount(), 0);
  EXPECT_EQ(a.ControlExtension(), nullptr);
}

TEST(CompactFrames, CleanupKeepsAUsedTransparencyAndDropsAnUnusedOne) {
  TGIFImage document;
  TGIFSubImage& a = AddHandFrame(document, 0, 0, 2, 1, {kRed, kBlue}, {0, 1});
  MakeTransparent(a, 1).SetDelayTime(3);
  TGIFSubImage& b = AddHandFrame(document, 0, 0, 2, 1, {kRed, kBlue, kBlack}, {0, 1});
  MakeTransparent(b, 2).SetDelayTime(0);
  CompactFrames(document, coCleanup);
  EXPECT_TRUE(a.HasTransparency());
  ASSERT_NE(a.ControlExtension(), nullptr);
  // b lost its unused transparency, and with it its delay-free control.
  EXPECT_FALSE(b.HasTransparency());
  EXPECT_EQ(b.ControlExtension(), nullptr);
}

TEST(CompactFrames, CleanupDropsARedundantRestore) {
  TGIFImage document;
  TGIFSubImage& a = AddHandFrame(document, 2, 2, 2, 2, {kRed, kBlue}, {0, 1, 0, 1});
  TGIFGraphicControlExtension& control = AddControl(a);
  control.SetDisposalMethod(2);
  control.SetDelayTime(4);
  AddHandFrame(document, 0, 0, 6, 6, {kRed, kBlue}, std::vector<std::uint8_t>(36, 0));
  TGIFSubImage& c = AddHandFrame(document, 0, 0, 1, 1, {kRed, kBlue}, {0});
  TGIFGraphicControlExtension& cControl = AddControl(c);
  cControl.SetDisposalMethod(3);
  cControl.SetDelayTime(4);
  CompactFrames(document, coCleanup);
  // The frame after a covers all of it, so restoring a is pointless.
  EXPECT_EQ(control.DisposalMethod(), 0);
  EXPECT_EQ(cControl.DisposalMethod(), 3);
}

TEST(CompactFrames, CleanupKeepsARestoreWhoseBorderStaysVisible) {
  TGIFImage document;
  TGIFSubImage& a = AddHandFrame(document, 0, 0, 4, 4, {kRed, kBlue}, std::vector<std::uint8_t>(16, 1));
  TGIFGraphicControlExtension& control = AddControl(a);
  control.SetDisposalMethod(2);
  control.SetDelayTime(4);
  // The next frame lies inside a: without the restore, a's border would
  // stay on screen around it.
  AddHandFrame(document, 1, 1, 2, 2, {kRed, kBlue}, {0, 0, 0, 0});
  CompactFrames(document, coCleanup);
  EXPECT_EQ(control.DisposalMethod(), 2);
}

TEST(CompactFrames, ReducingToAGivenPaletteIsRefused) {
  TGIFImage document;
  AddHandFrame(document, 0, 0, 1, 1, {kRed}, {0});
  try {
    CompactFrames(document, coReduceColors, rsGivenPalette);
    FAIL() << "no error";
  } catch (const GIFException& e) {
    EXPECT_STREQ(e.what(), "Invalid reduction method");
  }
  EXPECT_NO_THROW(CompactFrames(document, TCompactOptions(coReduceColors) | coCleanup, rsGivenPalette));
}

TEST(CompactFrames, ReportsOptimizingAndNothingForAnEmptyDocument) {
  TGIFImage document;
  std::vector<std::pair<TProgressStage, int>> reports;
  document.SetOnProgress([&](TGIFImage&, TProgressStage stage, int percent, const std::string& message) {
    EXPECT_EQ(message, "Optimizing...");
    reports.push_back({stage, percent});
  });
  CompactFrames(document, coCropFrames);
  EXPECT_TRUE(reports.empty());
  TGIFSubImage& a = AddHandFrame(document, 0, 0, 2, 1, {kRed, kBlack}, {0, 1});
  MakeTransparent(a, 1);
  CompactFrames(document, coCropFrames);
  ASSERT_GE(reports.size(), 2u);
  EXPECT_EQ(reports.front(), std::make_pair(TProgressStage::psStarting, 0));
  EXPECT_EQ(reports.back(), std::make_pair(TProgressStage::psEnding, 100));
}

TEST(CompactFrames, OptimizingColourMapsSortsEveryMap) {
  TGIFImage document;
  TGIFSubImage& a = AddHandFrame(document, 0, 0, 3, 1, {kRed, kBlue, kBlack}, {1, 1, 0});
  CompactFrames(document, coOptimizeColorMaps);
  EXPECT_EQ(ColoursOf(a.LocalColors()), (std::vector<TColor>{kBlue, kRed}));
  EXPECT_EQ(PixelsOf(a), (std::vector<std::uint8_t>{0, 0, 1}));
}

}  // namespace
}  // namespace tovasel
