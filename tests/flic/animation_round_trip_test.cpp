// Animations written by our FLIC writer must decode picture for picture and
// colour for colour, through whole passes and past the wrap.
#include <string>
#include <vector>

#include "flic_test_support.h"

namespace tovasel::testing {
namespace {

struct TRoundTripCase {
  std::string Name;
  int Width;
  int Height;
  bool FliDeltas;
  bool Colour64;
  bool RingFrame;
  bool Classic;
  int Frames;
};

std::vector<fw::TAnimationFrame> MakeFrames(const TRoundTripCase& c) {
  std::vector<fw::TAnimationFrame> frames;
  fw::TIndexedPicture picture = PatternPicture(c.Width, c.Height, 1);
  fw::TColours colours = PatternColours(1);
  for (int f = 0; f < c.Frames; ++f) {
    if (f > 0) {
      // Change a band of rows and, every other frame, a few colours, so that
      // deltas have skipped lines, partial rows and the last column to carry.
      const fw::TIndexedPicture other = PatternPicture(c.Width, c.Height, 10 + f);
      for (int y = f % 3; y < c.Height; y += 2)
        for (int x = (y * 7 + f) % c.Width; x < c.Width; x += 1 + (f % 3)) picture.At(x, y) = other.At(x, y);
      if (f % 2 == 0) {
        for (int i = 10 * f; i < 10 * f + 5 && i < 256; ++i) colours[i] = fw::TRgb{static_cast<std::uint8_t>(f * 16), 4, 8};
      }
    }
    fw::TAnimationFrame frame{picture, colours, fw::TEncoding::enDelta};
    if (f == 3) frame.Encoding = fw::TEncoding::enByteRun;
    if (f == 4) frame.Encoding = fw::TEncoding::enCopy;
    if (f == 5) frame.Encoding = fw::TEncoding::enBlackThenDelta;
    frames.push_back(std::move(frame));
  }
  return frames;
}

fw::TColours Expected(fw::TColours colours, bool colour64) {
  if (colour64)
    for (auto& c : colours) c = fw::TRgb{static_cast<std::uint8_t>(c.Red & 0xFC), static_cast<std::uint8_t>(c.Green & 0xFC),
                                          static_cast<std::uint8_t>(c.Blue & 0xFC)};
  return colours;
}

void PrintTo(const TRoundTripCase& c, std::ostream* os) { *os << c.Name; }

class AnimationRoundTrip : public ::testing::TestWithParam<TRoundTripCase> {};

TEST_P(AnimationRoundTrip, EveryFrameDecodesAndThePassRepeats) {
  const TRoundTripCase& c = GetParam();
  const auto frames = MakeFrames(c);
  fw::TAnimationOptions options;
  options.FliDeltas = c.FliDeltas;
  options.Colour64 = c.Colour64;
  options.RingFrame = c.RingFrame;
  options.Classic = c.Classic;
  options.Speed = 33;
  TTempFlic file(fw::BuildAnimation(frames, options));

  TFlicPlayer32 player;
  OpenIn(player, file.Path());
  ASSERT_TRUE(player.IsOpen());
  EXPECT_EQ(player.ErrorCode(), 0u);
  EXPECT_EQ(player.FrameCount(), c.Frames);
  EXPECT_EQ(player.Speed(), 33);
  EXPECT_EQ(player.HasRingFrame(), c.RingFrame);
  EXPECT_EQ(player.Surface().Width(), c.Width);
  EXPECT_EQ(player.Surface().Height(), c.Height);

  // Two whole passes and one frame more: frame 1, 2, ..., N, 1, 2, ..., N, 1, 2.
  for (int step = 0; step <= 2 * c.Frames + 1; ++step) {
    if (step > 0) player.NextFrame();
    const int index = step % c.Frames;
    SCOPED_TRACE("step " + std::to_string(step) + ", frame " + std::to_string(index + 1));
    ASSERT_EQ(DifferingPixels(PictureOf(player.Surface()), frames[index].Picture), 0);
    ASSERT_TRUE(ColoursOf(player.Palette()) == Expected(frames[index].Colours, c.Colour64));
    ASSERT_TRUE(ColoursOf(player.Surface().Palette()) == Expected(frames[index].Colours, c.Colour64));
    EXPECT_EQ(player.CurrentFrame(), index + 1);
    EXPECT_EQ(player.CurrentLoop(), 1 + step / c.Frames);
  }
  EXPECT_EQ(player.ErrorCode(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Writer, AnimationRoundTrip,
    ::testing::Values(
        TRoundTripCase{"FlcEvenWidthRing", 64, 40, false, false, true, false, 8},
        TRoundTripCase{"FlcOddWidthRing", 33, 17, false, false, true, false, 8},
        TRoundTripCase{"FlcOneColumn", 1, 9, false, false, true, false, 7},
        TRoundTripCase{"FlcWideRowsLongSkips", 700, 6, false, false, true, false, 7},
        TRoundTripCase{"FlcNoRingFrame", 31, 20, false, false, false, false, 8},
        TRoundTripCase{"FliColour64Ring", 40, 25, true, true, true, false, 8},
        TRoundTripCase{"FliOddWidthNoRing", 45, 11, true, false, false, false, 7},
        TRoundTripCase{"FliWideRows", 600, 5, true, false, true, false, 6},
        TRoundTripCase{"ClassicLayoutRing", 32, 16, true, true, true, true, 7},
        TRoundTripCase{"ClassicLayoutNoRing", 32, 16, true, true, false, true, 7},
        TRoundTripCase{"SingleFrameRing", 20, 10, false, false, true, false, 1},
        TRoundTripCase{"SingleFrameNoRing", 20, 10, false, false, false, false, 1}),
    [](const auto& info) { return info.param.Name; });

}  // namespace
}  // namespace tovasel::testing
