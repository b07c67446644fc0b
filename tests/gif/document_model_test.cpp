// The document model: frames, screen size, colour maps, versions and the
// graphic control extension's ties to its frame.

#include <gtest/gtest.h>

#include "gif/extension_registry.h"
#include "gif/gif_exception.h"
#include "gif/text_extensions.h"
#include "gif_test_support.h"

namespace tovasel {
namespace {

using testing::AddControl;
using testing::AddLoop;
using testing::AddRawFrame;

template <class F>
std::string ErrorOf(F&& action) {
  try {
    action();
  } catch (const GIFException& error) {
    return error.what();
  }
  return "no error";
}

struct WarningLog {
  std::vector<std::string> messages;
  void Attach(TGIFImage& document) {
    document.SetWarningHandler([this](TGIFImage&, int severity, const std::string& message) {
      EXPECT_EQ(severity, 1);
      messages.push_back(message);
    });
  }
};

TEST(DocumentModel, FirstFrameSetsTheScreenSilently) {
  TGIFImage document;
  WarningLog log;
  log.Attach(document);
  EXPECT_EQ(AddRawFrame(document, 7, 5, {}, 2).OwnerImage(), &document);
  EXPECT_EQ(document.Frames().ItemCount(), 1);
  EXPECT_EQ(document.HeaderBlock().ScreenWidth(), 7);
  EXPECT_EQ(document.HeaderBlock().ScreenHeight(), 5);
  EXPECT_TRUE(log.messages.empty());
}

struct GrowCase {
  const char* name;
  int width;
  int height;
  std::vector<std::string> warnings;
  friend void PrintTo(const GrowCase& row, std::ostream* os) { *os << row.name; }
};

class ScreenGrowth : public ::testing::TestWithParam<GrowCase> {};

TEST_P(ScreenGrowth, LargerFrameEnlargesTheScreenWithWarnings) {
  TGIFImage document;
  AddRawFrame(document, 10, 10, {}, 2);
  WarningLog log;
  log.Attach(document);
  AddRawFrame(document, GetParam().width, GetParam().height, {}, 2);
  EXPECT_EQ(log.messages, GetParam().warnings);
  EXPECT_EQ(document.HeaderBlock().ScreenWidth(), std::max(10, GetParam().width));
  EXPECT_EQ(document.HeaderBlock().ScreenHeight(), std::max(10, GetParam().height));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ScreenGrowth,
    ::testing::Values(GrowCase{"fits", 10, 4, {}},
                      GrowCase{"wider",
                               12,
                               4,
                               {"Image width too small for contained frames",
                                "Image exceeds Logical Screen size"}},
                      GrowCase{"taller",
                               3,
                               11,
                               {"Image height too small for contained frames",
                                "Image exceeds Logical Screen size"}},
                      GrowCase{"both",
                               11,
                               11,
                               {"Image width too small for contained frames",
                                "Image height too small for contained frames",
                                "Image exceeds Logical Screen size"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DocumentModel, ScreenCannotShrinkBelowAFrame) {
  TGIFImage document;
  TGIFSubImage& frame = AddRawFrame(document, 4, 4, {}, 2);
  frame.SetFrameLeft(3);
  EXPECT_EQ(ErrorOf([&] { document.ResizeScreenWidth(6); }),
            "Image width too small for contained frames");
  EXPECT_EQ(ErrorOf([&] { document.ResizeScreenHeight(3); }),
            "Image height too small for contained frames");
  EXPECT_EQ(document.HeaderBlock().ScreenWidth(), 7);
  document.ResizeScreenWidth(9);
  EXPECT_EQ(document.HeaderBlock().ScreenWidth(), 9);
}

TEST(DocumentModel, CoordinatesBeyondTheFileFormatAreRefused) {
  TGIFImage document;
  TGIFSubImage& frame = AddRawFrame(document, 2, 2, {}, 2);
  for (auto place : {std::array{-1, 0, 1, 1}, std::array{0, 0, 65536, 1},
                     std::array{65535, 0, 1, 1}, std::array{0, 0, 1, -5}}) {
    EXPECT_EQ(ErrorOf([&] { frame.Place(place[0], place[1], place[2], place[3]); }),
              "Invalid image dimensions");
  }
  EXPECT_EQ(frame.FrameWidth(), 2);
  EXPECT_EQ(frame.PixelDataSize(), 4u);
}

TEST(DocumentModel, NewSizeGivesAZeroedBufferOfTheNewSize) {
  TGIFImage document;
  const std::uint8_t pixels[] = {1, 2, 3, 4, 5, 6};
  TGIFSubImage& frame = AddRawFrame(document, 3, 2, pixels, 8);
  frame.SetFrameLeft(1);  // moving keeps the pixels
  EXPECT_EQ(frame.PixelAt(2, 1), 6);
  frame.SetFrameWidth(5);
  ASSERT_EQ(frame.PixelDataSize(), 10u);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 5; ++x) EXPECT_EQ(frame.PixelAt(x, y), 0);
  }
}

TEST(DocumentModel, PixelAccessChecksCoordinates) {
  TGIFImage document;
  const std::uint8_t pixel[] = {9};
  TGIFSubImage& frame = AddRawFrame(document, 1, 1, pixel, 16);
  EXPECT_EQ(frame.PixelAt(0, frame.FrameHeight() - 1), 9);
  EXPECT_EQ(ErrorOf([&] { frame.PixelAt(frame.FrameWidth(), 0); }), "Invalid pixel coordinates");
  EXPECT_EQ(ErrorOf([&] { frame.RowAt(-1); }), "Invalid pixel coordinates");
  TGIFSubImage& empty = AddRawFrame(document, 0, 0, {}, 0);
  EXPECT_TRUE(empty.IsBlank());
  EXPECT_EQ(ErrorOf([&] { empty.EnsurePixels(); }), "Image is empty");
}

TEST(DocumentModel, NullFrameIsNotSupported) {
  TGIFImage document;
  EXPECT_EQ(ErrorOf([&] { document.AddFrame(std::unique_ptr<TGIFSubImage>()); }),
            "Object type not supported for operation");
}

TEST(DocumentModel, FileVersionFollowsFramesOnly) {
  TGIFImage document;
  EXPECT_EQ(document.FileVersion(), 0);
  TGIFSubImage& first = AddRawFrame(document, 1, 1, {}, 2);
  EXPECT_EQ(document.FileVersion(), 1);
  first.LocalColors().SetIsSorted(true);
  EXPECT_EQ(document.FileVersion(), 2);
  first.LocalColors().SetIsSorted(false);
  AddControl(AddRawFrame(document, 1, 1, {}, 2), 1);
  EXPECT_EQ(document.FileVersion(), 2);
}

TEST(DocumentModel, MaxColorBitsCoversGlobalAndLocalMaps) {
  TGIFImage document;
  EXPECT_EQ(document.MaxColorResolution(), -1);
  document.GlobalColors().AppendColor(1);
  document.GlobalColors().AppendColor(2);
  document.GlobalColors().AppendColor(3);
  AddRawFrame(document, 1, 1, {}, 17);
  EXPECT_EQ(document.MaxColorBits(), 5);
  EXPECT_EQ(document.MaxColorResolution(), 4);
}

TEST(DocumentModel, ClearEmptiesFramesMapAndScreen) {
  TGIFImage document;
  document.GlobalColors().AppendColor(1);
  AddControl(AddRawFrame(document, 3, 3, {}, 2), 1);
  document.HeaderBlock().SetBackgroundIndex(4);
  document.Clear();
  EXPECT_TRUE(document.Empty());
  EXPECT_TRUE(document.GlobalColors().Empty());
  EXPECT_EQ(document.HeaderBlock().ScreenWidth(), 0);
  EXPECT_EQ(document.HeaderBlock().BackgroundIndex(), 4);
}

struct BitsCase {
  int entries;
  int bits;
  friend void PrintTo(const BitsCase& row, std::ostream* os) { *os << row.entries << " entries"; }
};

class ColorMapBits : public ::testing::TestWithParam<BitsCase> {};

TEST_P(ColorMapBits, SmallestPowerOfTwoHoldingTheEntries) {
  TGIFColorMap map;
  for (int i = 0; i < GetParam().entries; ++i) map.AppendColor(static_cast<TColor>(i));
  EXPECT_EQ(map.ColorBits(), GetParam().bits);
}

INSTANTIATE_TEST_SUITE_P(Entries, ColorMapBits,
                         ::testing::Values(BitsCase{0, 0}, BitsCase{1, 1}, BitsCase{2, 1},
                                           BitsCase{3, 2}, BitsCase{5, 3}, BitsCase{128, 7},
                                           BitsCase{129, 8}, BitsCase{256, 8}),
                         [](const auto& info) { return "e" + std::to_string(info.param.entries); });

TEST(ColorMap, FindColorSearchDirectionFollowsTheSortFlag) {
  TGIFColorMap map;
  for (int i = 0; i < 8; ++i) map.AppendColor(i == 3 || i == 7 ? 0x123456 : 0xFF000000u + i);
  EXPECT_EQ(map.FindColor(0x123456), 7);
  map.SetIsSorted(true);
  EXPECT_EQ(map.FindColor(0x123456), 3);
  EXPECT_EQ(map.FindColor(0xFF123456), 3) << "only the low 24 bits count";
  EXPECT_EQ(map.FindColor(0x654321), -1);
  EXPECT_EQ(map.AppendUniqueColor(0x123456), 3);
  EXPECT_EQ(map.EntryCount(), 8);
}

TEST(ColorMap, OverflowLeavesTheMapFull) {
  TGIFColorMap map;
  for (int i = 0; i < 256; ++i) map.AppendColor(static_cast<TColor>(i));
  EXPECT_EQ(ErrorOf([&] { map.AppendColor(0); }), "Color table overflow");
  EXPECT_EQ(map.EntryCount(), 256);
  EXPECT_EQ(map.EntryCapacity(), 256);
}

TEST(ColorMap, CapacityGrowsInSteps) {
  TGIFColorMap map;
  map.AppendColor(1);
  EXPECT_EQ(map.EntryCapacity(), 16);
  for (int i = 0; i < 16; ++i) map.AppendColor(1);
  EXPECT_EQ(map.EntryCapacity(), 32);
  map.GrowCapacity(200);
  EXPECT_EQ(map.EntryCapacity(), 224);
  EXPECT_EQ(map.EntryCount(), 17);
}

TEST(ColorMap, RemoveAndReadChecksIndices) {
  TGIFImage document;
  WarningLog log;
  log.Attach(document);
  TGIFColorMap& map = document.GlobalColors();
  EXPECT_EQ(ErrorOf([&] { map.ColorAt(0); }), "Color table is empty");
  map.AppendColor(MakeColor(1, 2, 3));
  map.AppendColor(MakeColor(4, 5, 6));
  map.AppendColor(MakeColor(7, 8, 9));
  map.SetIsSorted(true);
  map.RemoveColor(1);
  EXPECT_FALSE(map.IsSorted());
  EXPECT_EQ(map.ColorAt(1), MakeColor(7, 8, 9));
  EXPECT_EQ(map.ColorAt(5), MakeColor(1, 2, 3));
  EXPECT_EQ(ErrorOf([&] { map.RemoveColor(2); }), "Invalid color index");
  EXPECT_EQ(log.messages, (std::vector<std::string>{"Invalid color index", "Invalid color index"}));
}

TEST(ColorMap, LoadsBitmapQuadsAsRedGreenBlue) {
  TGIFColorMap map;
  const TRGBQuad quads[] = {{1, 2, 3, 0}, {4, 5, 6, 0}};
  map.LoadRGBQuads(quads);
  ASSERT_EQ(map.EntryCount(), 2);
  EXPECT_EQ(map.Entries()[0], (TGIFColor{3, 2, 1}));
  EXPECT_EQ(map.ColorAt(1), MakeColor(6, 5, 4));
}

TEST(ControlExtension, TransparencyFollowsTheFrame) {
  TGIFImage document;
  TGIFSubImage& frame = AddRawFrame(document, 1, 1, {}, 4);
  TGIFGraphicControlExtension& control = AddControl(frame, 0);
  EXPECT_EQ(frame.ControlExtension(), &control);
  control.SetIsTransparent(true);
  EXPECT_TRUE(frame.HasTransparency());
  control.SetIsTransparent(false);
  EXPECT_FALSE(frame.HasTransparency());
  EXPECT_EQ(control.Packed() & 1, 0);

  control.SetIsTransparent(true);
  TGIFGraphicControlExtension& second = AddControl(frame, 0);
  EXPECT_EQ(frame.ControlExtension(), &control) << "the first one stays";
  frame.FrameExtensions().Delete(&control);
  EXPECT_EQ(frame.ControlExtension(), nullptr);
  EXPECT_FALSE(frame.HasTransparency());
  EXPECT_EQ(frame.FrameExtensions().ItemCount(), 1);
  EXPECT_EQ(&frame.FrameExtensions().ExtensionAt(0), &second);
}

TEST(ControlExtension, TransparentIndexMustLieInTheColourMap) {
  TGIFImage document;
  WarningLog log;
  log.Attach(document);
  TGIFGraphicControlExtension& small = AddControl(AddRawFrame(document, 1, 1, {}, 4), 0);
  small.SetTransparentIndex(3);
  EXPECT_EQ(small.TransparentIndex(), 3);
  small.SetTransparentIndex(7);
  EXPECT_EQ(small.TransparentIndex(), 0);
  EXPECT_EQ(log.messages, std::vector<std::string>{"Invalid color index"});
  TGIFGraphicControlExtension& full = AddControl(AddRawFrame(document, 1, 1, {}, 256), 0);
  full.SetTransparentIndex(255);
  EXPECT_EQ(full.TransparentIndex(), 255);
  TGIFGraphicControlExtension& none = AddControl(AddRawFrame(document, 1, 1, {}, 0), 0);
  none.SetTransparentIndex(200);
  EXPECT_EQ(none.TransparentIndex(), 200);
  EXPECT_EQ(log.messages.size(), 1u);
}

TEST(ControlExtension, DisposalKeepsTheOtherBits) {
  TGIFImage document;
  TGIFGraphicControlExtension& control = AddControl(AddRawFrame(document, 1, 1, {}, 2), 0);
  control.SetIsTransparent(true);
  control.SetDisposalMethod(2);
  EXPECT_EQ(control.Packed(), 0x09);
  control.SetDisposalMethod(7);
  EXPECT_EQ(control.DisposalMethod(), 7);
  control.SetDisposalMethod(9);  // only three bits exist
  EXPECT_EQ(control.DisposalMethod(), 1);
  EXPECT_TRUE(control.IsTransparent());
  EXPECT_FALSE(control.WaitForInput());
}

TEST(Extensions, DeletingAFrameTakesItsExtensionsAlong) {
  TGIFImage document;
  TGIFSubImage& frame = AddRawFrame(document, 1, 1, {}, 2);
  AddLoop(frame, 0);
  AddControl(frame, 5).SetIsTransparent(true);
  document.Frames().DeleteAt(0);
  EXPECT_TRUE(document.Empty());
  EXPECT_THROW(document.Frames().ItemAt(0), std::out_of_range);
}

TEST(Extensions, ClearingAFrameDropsEverything) {
  TGIFImage document;
  const std::uint8_t pixels[] = {1, 1, 1, 1};
  TGIFSubImage& frame = AddRawFrame(document, 2, 2, pixels, 2);
  AddControl(frame, 5).SetIsTransparent(true);
  frame.Clear();
  EXPECT_TRUE(frame.IsBlank());
  EXPECT_EQ(frame.FrameExtensions().ItemCount(), 0);
  EXPECT_EQ(frame.ControlExtension(), nullptr);
  EXPECT_FALSE(frame.HasTransparency());
  EXPECT_TRUE(frame.LocalColors().Empty());
}

struct RegistryCase {
  const char* name;
  std::uint8_t label;
  const char* identifier;  // for application extensions
  const char* expectedType;
  friend void PrintTo(const RegistryCase& row, std::ostream* os) { *os << row.name; }
};

class ExtensionRegistry : public ::testing::TestWithParam<RegistryCase> {};

TEST_P(ExtensionRegistry, FindsTheClassForReading) {
  TGIFImage document;
  TGIFSubImage& frame = AddRawFrame(document, 1, 1, {}, 2);
  TGIFExtensionFactory factory = GetParam().identifier
                                     ? FindAppExtensionClass(MakeAppIdentifier(GetParam().identifier))
                                     : FindExtensionClass(GetParam().label);
  if (GetParam().expectedType == nullptr) {
    EXPECT_EQ(factory, nullptr);
    return;
  }
  ASSERT_NE(factory, nullptr);
  const auto extension = factory(frame);
  EXPECT_EQ(&extension->OwnerFrame(), &frame);
  const std::string type = GetParam().expectedType;
  const TGIFExtension* made = extension.get();
  const bool matches =
      (type == "loop" && dynamic_cast<const TGIFAppExtNSLoop*>(made) != nullptr) ||
      (type == "unknown" && dynamic_cast<const TGIFUnknownAppExtension*>(made) != nullptr) ||
      (type == "control" && dynamic_cast<const TGIFGraphicControlExtension*>(made) != nullptr) ||
      (type == "comment" && dynamic_cast<const TGIFCommentExtension*>(made) != nullptr) ||
      (type == "text" && dynamic_cast<const TGIFTextExtension*>(made) != nullptr);
  EXPECT_TRUE(matches) << type;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ExtensionRegistry,
    ::testing::Values(RegistryCase{"control", 0xF9, nullptr, "control"},
                      RegistryCase{"comment", 0xFE, nullptr, "comment"},
                      RegistryCase{"text", 0x01, nullptr, "text"},
                      RegistryCase{"unknown_label", 0x42, nullptr, nullptr},
                      RegistryCase{"netscape", 0xFF, "NETSCAPE2.0", "loop"},
                      RegistryCase{"animexts", 0xFF, "ANIMEXTS1.0", "loop"},
                      RegistryCase{"other_application", 0xFF, "XMP DataXMP", "unknown"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovasel
