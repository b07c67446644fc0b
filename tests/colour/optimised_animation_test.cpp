// The whole colour path as the converter drives it — default import, colour
// maps packed and frames merged and cropped after every added frame — must
// leave a GIF whose decoded animation shows exactly the reduced pictures.
// giflib decodes the file independently of our writer.

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "colour_test_support.h"
#include "gif/application_extension.h"

namespace tovasel {
namespace {

using testing::MakeBitmap;
using testing::Rgb;

struct MemoryInput {
  const std::string* data;
  std::size_t offset = 0;
};

int ReadMemory(GifFileType* gif, GifByteType* out, int length) {
  auto* input = static_cast<MemoryInput*>(gif->UserData);
  const std::size_t left = input->data->size() - input->offset;
  const std::size_t n = std::min<std::size_t>(left, static_cast<std::size_t>(length));
  std::memcpy(out, input->data->data() + input->offset, n);
  input->offset += n;
  return static_cast<int>(n);
}

// Every frame's screen after it is drawn (disposal "none": frames stack up).
std::vector<std::vector<Rgb>> DecodeScreens(const std::string& bytes) {
  MemoryInput input{&bytes};
  int error = 0;
  GifFileType* gif = DGifOpen(&input, ReadMemory, &error);
  EXPECT_NE(gif, nullptr) << GifErrorString(error);
  if (gif == nullptr) return {};
  EXPECT_EQ(DGifSlurp(gif), GIF_OK) << GifErrorString(gif->Error);
  std::vector<std::vector<Rgb>> screens;
  std::vector<Rgb> screen(static_cast<std::size_t>(gif->SWidth * gif->SHeight), Rgb{1, 2, 3});
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    GraphicsControlBlock control{};
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(gif, i, &control);
    const ColorMapObject* map = image.ImageDesc.ColorMap != nullptr ? image.ImageDesc.ColorMap : gif->SColorMap;
    const GifImageDesc& d = image.ImageDesc;
    for (int y = 0; y < d.Height; ++y) {
      for (int x = 0; x < d.Width; ++x) {
        const int index = image.RasterBits[y * d.Width + x];
        if (index == control.TransparentColor) continue;
        const GifColorType& c = map->Colors[index];
        screen[static_cast<std::size_t>((d.Top + y) * gif->SWidth + d.Left + x)] = Rgb{c.Red, c.Green, c.Blue};
      }
    }
    screens.push_back(screen);
  }
  DGifCloseFile(gif, &error);
  return screens;
}

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
  const auto screens = DecodeScreens(out.str());
  ASSERT_EQ(static_cast<int>(screens.size()), document.Frames().ItemCount());
  ASSERT_EQ(static_cast<int>(screens.size()), kFrames);
  for (int f = 0; f < kFrames; ++f) {
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const Rgb s = SourcePixel(f, x, y);
        const Rgb want{CubeLevel(s.r), CubeLevel(s.g), CubeLevel(s.b)};
        ASSERT_EQ(screens[static_cast<std::size_t>(f)][static_cast<std::size_t>(y * kWidth + x)], want)
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
