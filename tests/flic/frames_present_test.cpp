// Files that hold fewer frames than their header counts, and where the
// damage of a file starts: the walk stops at the frames present instead of
// going round the file again, and the first damaged frame is kept.
#include <functional>
#include <string>
#include <vector>

#include "flic_test_support.h"

namespace tovasel::testing {
namespace {

constexpr int kWidth = 10;
constexpr int kHeight = 5;
constexpr int kFrames = 4;

std::vector<fw::TAnimationFrame> Frames() {
  std::vector<fw::TAnimationFrame> frames;
  for (int f = 0; f < kFrames; ++f)
    frames.push_back({PatternPicture(kWidth, kHeight, 40 + f), PatternColours(f), fw::TEncoding::enDelta});
  return frames;
}

fw::TChunk UnknownChunk() { return fw::TChunk{5, {1, 2}, std::nullopt}; }

struct TPresentCase {
  std::string Name;
  bool RingFrame;
  std::function<void(fw::TFlicLayout&)> Bend;
  int FrameCount;
  std::uint32_t ErrorAfterPass;
  int FirstDamaged;
  bool Partial;
};

void PrintTo(const TPresentCase& c, std::ostream* os) { *os << c.Name; }

class FramesPresent : public ::testing::TestWithParam<TPresentCase> {};

// One pass of FrameCount steps comes back to the picture after Open, the
// damage says where it starts, and a restarted walk keeps it.
TEST_P(FramesPresent, PassEndsAtTheFramesHeldAndDamageIsKept) {
  const TPresentCase& c = GetParam();
  fw::TFlicLayout layout = fw::BuildAnimation(Frames(), fw::TAnimationOptions{.RingFrame = c.RingFrame});
  c.Bend(layout);
  const std::vector<std::uint8_t> bytes = fw::Serialize(layout);
  TTempFlic file(bytes);
  TFlicPlayer32 player;
  OpenIn(player, file.Path());
  TFlicDecoder decoder;
  ASSERT_TRUE(decoder.Open(bytes));
  ASSERT_TRUE(player.IsOpen());
  EXPECT_EQ(decoder.FrameCount(), c.FrameCount);
  EXPECT_EQ(player.FrameCount(), c.FrameCount);

  const fw::TIndexedPicture first = PictureOf(decoder.Surface());
  for (int step = 0; step < decoder.FrameCount(); ++step) {
    decoder.NextFrame();
    player.NextFrame();
  }
  ExpectSameWalkState(player, decoder);
  if (c.FrameCount > 0) {
    EXPECT_EQ(decoder.CurrentLoop(), 2);
    EXPECT_EQ(DifferingPixels(PictureOf(decoder.Surface()), first), 0);
  }
  EXPECT_EQ(decoder.ErrorCode(), c.ErrorAfterPass);
  EXPECT_EQ(decoder.FirstDamagedFrame(), c.FirstDamaged);
  EXPECT_EQ(player.FirstDamagedFrame(), c.FirstDamaged);
  if (c.FirstDamaged != 0) {
    EXPECT_EQ(decoder.DamagedFramePartial(), c.Partial);
  }

  // Later passes and a restart neither move nor forget where damage starts.
  for (int step = 0; step < 2 * kFrames; ++step) decoder.NextFrame();
  decoder.Restart();
  EXPECT_EQ(DifferingPixels(PictureOf(decoder.Surface()), first), 0);
  for (int step = 0; step < decoder.FrameCount(); ++step) decoder.NextFrame();
  EXPECT_EQ(decoder.FirstDamagedFrame(), c.FirstDamaged);
}

INSTANTIATE_TEST_SUITE_P(
    Files, FramesPresent,
    ::testing::Values(
        TPresentCase{"WithRingFrame", true, [](fw::TFlicLayout&) {}, kFrames, 0, 0, false},
        TPresentCase{"WithoutRingFrame", false, [](fw::TFlicLayout&) {}, kFrames, 0, 0, false},
        // Not damage: the frames are all there.
        TPresentCase{"HeaderSizeBeyondTheFile", true,
                     [](fw::TFlicLayout& l) { l.SizeOverride = static_cast<std::uint32_t>(fw::Serialize(l).size() + 9); },
                     kFrames, 0x106, 0, false},
        TPresentCase{"ClaimsMoreFramesThanItHolds", false, [](fw::TFlicLayout& l) { l.FrameCountOverride = 9; },
                     kFrames, 0x302, kFrames + 1, false},
        // The file's own frames run on to the end; the wrap would go back
        // to frame 1 and decode it again as frame 2.
        TPresentCase{"SecondFrameOffsetBackAtFrameOne", false,
                     [](fw::TFlicLayout& l) {
                       l.Frames.resize(1);
                       l.FrameCountOverride = 65535;
                       l.SecondFrameOverride = fw::FrameOffset(l, 0);
                     },
                     1, 0x302, 2, false},
        TPresentCase{"FrameHeaderCutShort", false,
                     [](fw::TFlicLayout& l) { l.SizeOverride = fw::FrameOffset(l, 2) + 10; }, 2, 0x302, 3, false},
        TPresentCase{"NoFrameAtAll", false, [](fw::TFlicLayout& l) { l.FirstFrameOverride = 0xFFFFFF00; }, 0, 0x302, 1,
                     false},
        TPresentCase{"UnknownChunkInFrameThree", false,
                     [](fw::TFlicLayout& l) { l.Frames[2].Chunks.push_back(UnknownChunk()); }, kFrames, 0x302, 3, true},
        TPresentCase{"DamagedFrameBeforeTheMissingOnes", false,
                     [](fw::TFlicLayout& l) {
                       l.Frames[1].Chunks.push_back(UnknownChunk());
                       l.FrameCountOverride = 7;
                     },
                     kFrames, 0x302, 2, true},
        // The ring frame is numbered after the counted frames.
        TPresentCase{"DamagedRingFrame", true,
                     [](fw::TFlicLayout& l) { l.Frames.back().Chunks.push_back(UnknownChunk()); }, kFrames, 0x302,
                     kFrames + 1, true}),
    [](const auto& info) { return info.param.Name; });

}  // namespace
}  // namespace tovasel::testing
