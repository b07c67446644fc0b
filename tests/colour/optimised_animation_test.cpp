// The whole colour path as the converter drives it — default import, colour
// maps packed and frames merged and cropped after every added frame — must
// leave a GIF whose decoded animation shows exactly the reduced pictures.
// giflib decodes the file independently of our writer.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "colour_test_support.h"
#include "gif/application_extension.h"
#include "support/giflib_reader.h"

namespace tovasel {
namespace {

using testing::MakeBitmap;
using testing::Rgb;

std::uint8_t CubeLevel(std::uint8_t v) { return static_cast<std::uint8_t>((v + 3) / 51 * 51); }

// A square moving over a still background, with a patch that changes
// colour every other frame.
Rgb SourcePixel(int frame, int x, int y) {
  if (x >= 2 * frame && x < 2 * frame + 5 && y >= 3 && y < 8) return Rgb{250, 20, 20};
  if (x < 4 && y > 12) return frame % 2 ? Rgb{0, 0, 255} : Rgb{0, 255, 0};
  return Rgb{static_cast<std::uint8_t>(x * 10), static_cast<std::uint8_t>(y * 15), 90};
}

struct Options {
  std::string name;
  bool palette;
  TCompactOptions compact;
};

class OptimisedAnimation : public ::testing::TestWithParam<Options> {};

TEST_P(OptimisedAnimation, DecodesToTheReducedPictures) {
  const Options& options = GetParam();
  constexpr int kWidth = 24, kHeight = 16, kFrames = 6;
  TGIFImage document;
  for (int f = 0; f < kFrames; ++f) {
    const int index = AddFrame(document, MakeBitmap(kWidth, kHeight, [f](int x, int y) { return SourcePixel(f, x, y); }));
    TGIFSubImage& frame = document.Frames().FrameAt(index);
    if (index == 0) frame.FrameExtensions().Append(std::make_unique<TGIFAppExtNSLoop>(frame));
    testing::AddControl(frame).SetDelayTime(10);
    if (options.palette) PackColorMaps(document);
    if (!options.compact.Empty()) CompactFrames(document, options.compact);
  }
  std::ostringstream out;
  document.SaveToStream(out);
  const std::string bytes = out.str();
  const auto gif = testing::DecodeWithGiflib({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  ASSERT_EQ(static_cast<int>(gif.frames.size()), document.Frames().ItemCount());
  ASSERT_EQ(static_cast<int>(gif.frames.size()), kFrames);
  for (int f = 0; f < kFrames; ++f) {
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const Rgb s = SourcePixel(f, x, y);
        const std::int32_t want = (CubeLevel(s.r) << 16) | (CubeLevel(s.g) << 8) | CubeLevel(s.b);
        ASSERT_EQ(gif.frames[static_cast<std::size_t>(f)].canvas[static_cast<std::size_t>(y * kWidth + x)], want)
            << "frame " << f << " at " << x << "," << y;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Converter, OptimisedAnimation,
    ::testing::Values(Options{"Plain", false, {}}, Options{"Palette", true, {}},
                      Options{"PaletteMergeCrop", true, coMergeUnchanged | coCropFrames},
                      Options{"MergeCropWithoutPalette", false, coMergeUnchanged | coCropFrames},
                      Options{"EverythingAndCleanup", true,
                              TCompactOptions(coMergeUnchanged) | coCropFrames | coCleanup | coOptimizeColorMaps}),
    [](const auto& info) { return info.param.name; });

TEST(OptimisedAnimation, PackingShrinksTheGlobalMapToTheUsedColours) {
  TGIFImage document;
  for (int f = 0; f < 3; ++f) {
    AddFrame(document, MakeBitmap(24, 16, [f](int x, int y) { return SourcePixel(f, x, y); }));
    PackColorMaps(document);
    CompactFrames(document, coMergeUnchanged | coCropFrames);
  }
  EXPECT_LT(document.GlobalColors().EntryCount(), 216);
  for (int i = 0; i < document.Frames().ItemCount(); ++i) {
    const TGIFSubImage& frame = document.Frames().FrameAt(i);
    EXPECT_TRUE(frame.LocalColors().Empty());
    for (std::size_t p = 0; p < frame.PixelDataSize(); ++p) {
      ASSERT_LT(frame.PixelData()[p], document.GlobalColors().EntryCount());
    }
  }
  // The later frames changed only in places, so merging and cropping made
  // them smaller than the screen.
  EXPECT_LT(document.Frames().FrameAt(1).PixelDataSize(), 24u * 16u);
}

}  // namespace
}  // namespace tovasel
