// Importing an indexed picture must give the frame that importing its
// 24-bit drawing gives, for every reduction, whether or not it takes the
// shortcut of mapping each colour once.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "colour_test_support.h"
#include "imaging/indexed_picture.h"

namespace tovasel {
namespace {

using testing::ColoursOf;
using testing::PixelsOf;

struct TReduction {
  TReductionScheme Scheme;
  TDitherKind Dither;
};

struct TImported {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Pixels;
  std::vector<TColor> Colours;
  std::vector<std::string> Progress;
  friend bool operator==(const TImported&, const TImported&) = default;
};

template <class Import>
TImported Imported(TReduction reduction, Import import) {
  TGIFImage document;
  document.SetReductionScheme(reduction.Scheme);
  document.SetDitherKind(reduction.Dither);
  TImported result;
  document.SetOnProgress([&result](TGIFImage&, TProgressStage stage, int percent, const std::string& message) {
    result.Progress.push_back(std::to_string(static_cast<int>(stage)) + " " + std::to_string(percent) + " " + message);
  });
  TGIFSubImage& frame = document.Frames().FrameAt(import(document));
  result.Width = frame.FrameWidth();
  result.Height = frame.FrameHeight();
  result.Pixels = PixelsOf(frame);
  result.Colours = ColoursOf(frame.LocalColors());
  return result;
}

class PictureImportTest : public ::testing::TestWithParam<std::tuple<TReduction, int>> {};

TEST_P(PictureImportTest, GivesTheFrameOfItsDrawing) {
  const auto [reduction, seed] = GetParam();
  std::mt19937 rng(static_cast<unsigned>(seed));
  const int width = 1 + static_cast<int>(rng() % 70);
  const int height = 1 + static_cast<int>(rng() % 70);
  // Few distinct colours over many indices, so equal colours at different
  // indices and unused entries both occur.
  const int distinct = 1 + static_cast<int>(rng() % 40);
  std::vector<TRGBQuad> shades(static_cast<std::size_t>(distinct));
  for (auto& q : shades) q = {static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), 0};
  TIndexedPicture picture;
  for (auto& q : picture.Colors) q = shades[rng() % shades.size()];
  const int used = 1 + static_cast<int>(rng() % 256);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height));
  // Every third seed draws runs of one index, as the flat areas of an
  // animation have; the others noise.
  const int longestRun = seed % 3 == 2 ? 30 : 1;
  for (std::size_t i = 0; i < pixels.size();) {
    const auto value = static_cast<std::uint8_t>(rng() % static_cast<unsigned>(used));
    for (int n = 1 + static_cast<int>(rng() % static_cast<unsigned>(longestRun)); n > 0 && i < pixels.size(); --n) {
      pixels[i++] = value;
    }
  }
  picture.Width = width;
  picture.Height = height;
  // Odd seeds point at the rows bottom-up, as a FLIC surface stores them.
  const bool bottomUp = seed % 2 == 1;
  picture.TopRow = bottomUp ? pixels.data() + static_cast<std::size_t>((height - 1) * width) : pixels.data();
  picture.RowStep = bottomUp ? -width : width;

  const TImported drawn = Imported(reduction, [&](TGIFImage& document) {
    TBitmap bitmap;
    DrawPicture(picture, bitmap);
    return AddFrame(document, bitmap);
  });
  const TImported direct = Imported(reduction, [&](TGIFImage& document) { return AddFrame(document, picture); });
  EXPECT_EQ(direct, drawn) << width << " x " << height;
}

INSTANTIATE_TEST_SUITE_P(Reductions, PictureImportTest,
                         ::testing::Combine(::testing::Values(TReduction{rsWebCube216, dkNone}, TReduction{rsKeepColors, dkNone},
                                                              TReduction{rsWebCube216, dkFloydSteinberg},
                                                              TReduction{rsGray256, dkNone}, TReduction{rsOctree, dkNone}),
                                            ::testing::Range(0, 12)));

}  // namespace
}  // namespace tovasel
