// The frame walk on files that are damaged or bent on purpose: every step
// must end, report what went wrong, and keep decoding what can be decoded.
#include <functional>
#include <string>
#include <vector>

#include "flic_test_support.h"

namespace tovasel::testing {
namespace {

constexpr int kWidth = 12;
constexpr int kHeight = 6;
constexpr int kFrames = 4;

std::vector<fw::TAnimationFrame> BaseFrames() {
  std::vector<fw::TAnimationFrame> frames;
  for (int f = 0; f < kFrames; ++f) {
    fw::TIndexedPicture p = PatternPicture(kWidth, kHeight, 1);
    for (int x = 0; x < kWidth; ++x) p.At(x, f) = static_cast<std::uint8_t>(100 + f);
    frames.push_back(fw::TAnimationFrame{p, PatternColours(f), fw::TEncoding::enDelta});
  }
  return frames;
}

constexpr int kAny = -1;

struct TWalkCase {
  std::string Name;
  std::function<void(fw::TFlicLayout&)> Bend;
  std::uint32_t ErrorAfterOpen;
  std::uint32_t ErrorAfterSteps;
  // For each step (0 = after Open), the base frame whose picture must be on
  // the surface, or kAny.
  std::vector<int> Pictures;
  bool RingFrame = true;
};

void PrintTo(const TWalkCase& c, std::ostream* os) { *os << c.Name; }

class FrameWalk : public ::testing::TestWithParam<TWalkCase> {};

TEST_P(FrameWalk, StepsEndAndReportDamage) {
  const TWalkCase& c = GetParam();
  const auto frames = BaseFrames();
  fw::TFlicLayout layout = fw::BuildAnimation(frames, fw::TAnimationOptions{});
  c.Bend(layout);
  const std::vector<std::uint8_t> bytes = fw::Serialize(layout);
  TTempFlic file(bytes);

  TFlicPlayer32 player;
  OpenIn(player, file.Path());
  // The decoder walks the same bytes from memory in step with the player.
  TFlicDecoder fromMemory;
  ASSERT_TRUE(fromMemory.Open(bytes));
  ASSERT_TRUE(player.IsOpen());
  EXPECT_EQ(player.ErrorCode(), c.ErrorAfterOpen);
  EXPECT_EQ(player.HasRingFrame(), c.RingFrame);
  for (std::size_t step = 0; step < c.Pictures.size(); ++step) {
    if (step > 0) {
      player.NextFrame();
      fromMemory.NextFrame();
    }
    ExpectSameWalkState(player, fromMemory);
    if (c.Pictures[step] != kAny) {
      EXPECT_EQ(DifferingPixels(PictureOf(player.Surface()), frames[c.Pictures[step]].Picture), 0)
          << "step " << step << " should show frame " << c.Pictures[step] + 1;
    }
  }
  // Many more steps than the file has frames: each must come back.
  for (int i = 0; i < 3 * kFrames; ++i) {
    player.NextFrame();
    fromMemory.NextFrame();
  }
  EXPECT_EQ(player.ErrorCode(), c.ErrorAfterSteps);
  ExpectSameWalkState(player, fromMemory);
}

// A second walk after Restart meets the pictures, colours and counters of
// the first, whatever the damage: conversions that read a file more than
// once rely on it.
TEST_P(FrameWalk, RestartWalksTheSameFramesAgain) {
  const TWalkCase& c = GetParam();
  fw::TFlicLayout layout = fw::BuildAnimation(BaseFrames(), fw::TAnimationOptions{});
  c.Bend(layout);
  const std::vector<std::uint8_t> bytes = fw::Serialize(layout);
  TFlicDecoder decoder;
  ASSERT_TRUE(decoder.Open(bytes));
  std::vector<fw::TIndexedPicture> pictures;
  std::vector<fw::TColours> colours;
  const int steps = 2 * kFrames + 1;
  for (int step = 0; step < steps; ++step) {
    if (step > 0) decoder.NextFrame();
    pictures.push_back(PictureOf(decoder.Surface()));
    colours.push_back(ColoursOf(decoder.Surface().Palette()));
  }
  decoder.Restart();
  for (int step = 0; step < steps; ++step) {
    if (step > 0) decoder.NextFrame();
    EXPECT_EQ(DifferingPixels(PictureOf(decoder.Surface()), pictures[step]), 0) << "step " << step;
    EXPECT_EQ(ColoursOf(decoder.Surface().Palette()), colours[step]) << "step " << step;
  }
  // A file without frames stays on frame 1.
  EXPECT_EQ(decoder.CurrentFrame(), decoder.FrameCount() == 0 ? 1 : (steps - 1) % decoder.FrameCount() + 1);
}

fw::TChunk Chunk(std::uint16_t type, std::vector<std::uint8_t> payload = {}) {
  return fw::TChunk{type, std::move(payload), std::nullopt};
}

INSTANTIATE_TEST_SUITE_P(
    Walk, FrameWalk,
    ::testing::Values(
        TWalkCase{"WellFormed", [](fw::TFlicLayout&) {}, 0, 0, {0, 1, 2, 3, 0, 1, 2, 3, 0}},
        TWalkCase{"FrameWithoutChunksKeepsThePicture",
                  [](fw::TFlicLayout& l) { l.Frames[1].Chunks.clear(); }, 0, 0, {0, 0}},
        TWalkCase{"PostageStampIsSkippedSilently",
                  [](fw::TFlicLayout& l) {
                    l.Frames[1].Chunks.insert(l.Frames[1].Chunks.begin(), Chunk(fw::kPostageStamp, {1, 2, 3}));
                  },
                  0, 0, {0, 1, 2, 3, 0}},
        TWalkCase{"UnknownChunkIsSkippedAndTheRestDecoded",
                  [](fw::TFlicLayout& l) { l.Frames[1].Chunks.insert(l.Frames[1].Chunks.begin(), Chunk(5, {9, 9})); },
                  0, 0x302, {0, 1, 2, 3, 0}},
        TWalkCase{"ChunkSizeBelowSixEndsTheFrame",
                  [](fw::TFlicLayout& l) {
                    l.Frames[1].Chunks.insert(l.Frames[1].Chunks.begin(), Chunk(fw::kPostageStamp));
                    l.Frames[1].Chunks[0].SizeOverride = 3;
                  },
                  0, 0x302, {0, 0, kAny}},
        TWalkCase{"ChunkSizeZeroEndsTheFrame",
                  [](fw::TFlicLayout& l) {
                    l.Frames[2].Chunks.insert(l.Frames[2].Chunks.begin(), Chunk(fw::kPostageStamp));
                    l.Frames[2].Chunks[0].SizeOverride = 0;
                  },
                  0, 0x302, {0, 1, 1}},
        // The file holds two frames: the pass ends there and starts again.
        TWalkCase{"FrameSmallerThanItsHeaderEndsTheFrames",
                  [](fw::TFlicLayout& l) { l.Frames[2].SizeOverride = 8; }, 0x302, 0x302, {0, 1, 0, 1}, false},
        TWalkCase{"ChunkCountBeyondTheFileStopsAtTheEnd",
                  [](fw::TFlicLayout& l) { l.Frames.back().ChunkCountOverride = 500; }, 0, 0x302,
                  {0, 1, 2, 3, 0}},
        TWalkCase{"ChunkRunningPastTheEndIsDecodedUpToIt",
                  [](fw::TFlicLayout& l) { l.Frames.back().Chunks.back().SizeOverride = 0x7FFFFFFF; }, 0, 0x302,
                  {0, 1, 2, 3, 0}},
        TWalkCase{"HeaderSizeBeyondTheFileLoadsTheFile",
                  [](fw::TFlicLayout& l) { l.SizeOverride = static_cast<std::uint32_t>(fw::Serialize(l).size() + 100); },
                  0x106, 0x106, {0, 1, 2, 3, 0, 1}},
        TWalkCase{"HeaderSizeCuttingOffTheRingFrame",
                  [](fw::TFlicLayout& l) { l.SizeOverride = fw::FrameOffset(l, kFrames); }, 0, 0,
                  {0, 1, 2, 3, 0, 1, 2, 3, 0}, false},
        TWalkCase{"FirstFrameOffsetOutsideTheFile",
                  [](fw::TFlicLayout& l) { l.FirstFrameOverride = 0xFFFFFFF0; }, 0x302, 0x302, {kAny, kAny},
                  false},
        TWalkCase{"SecondFrameOffsetOutsideTheFile",
                  [](fw::TFlicLayout& l) { l.SecondFrameOverride = 0x7FFFFFFF; }, 0, 0x302, {0, 1, 2, 3, 0}},
        // Five frames present, the ring frame one of them; the walk never
        // goes round the file again to reach the count.
        TWalkCase{"FrameCountAboveTheFramesInTheFile",
                  [](fw::TFlicLayout& l) { l.FrameCountOverride = 9; }, 0x302, 0x302, {0, 1, 2, 3, 0, 0, 1}, false},
        TWalkCase{"HugeFrameSizeEndsTheFramesInsteadOfOverflowing",
                  [](fw::TFlicLayout& l) { l.Frames[1].SizeOverride = 0xFFFFFFFF; }, 0x302, 0x302,
                  {0, 1, 0, 1}, false}),
    [](const auto& info) { return info.param.Name; });

// --- Files the player refuses ----------------------------------------------

struct TRefusedCase {
  std::string Name;
  std::function<std::vector<std::uint8_t>()> Bytes;
};

void PrintTo(const TRefusedCase& c, std::ostream* os) { *os << c.Name; }

class RefusedFile : public ::testing::TestWithParam<TRefusedCase> {};

std::vector<std::uint8_t> SmallFile(std::uint16_t width, std::uint16_t height) {
  fw::TFlicLayout l;
  l.Width = width;
  l.Height = height;
  l.Frames.push_back(fw::TFrame{});
  return fw::Serialize(l);
}

TEST_P(RefusedFile, LeavesThePlayerClosedWithNothingAllocated) {
  const std::vector<std::uint8_t> bytes = GetParam().Bytes();
  TTempFlic file(bytes);
  TFlicPlayer32 player;
  OpenIn(player, file.Path());
  EXPECT_FALSE(player.IsOpen());
  EXPECT_EQ(player.ErrorCode(), 0x106u);
  EXPECT_EQ(player.PlayState(), psClosed);
  EXPECT_EQ(player.FrameCount(), 0);
  EXPECT_EQ(player.Surface().Width(), 4);
  EXPECT_EQ(player.Surface().Height(), 4);
  EXPECT_TRUE(player.Reader().FileBuffer().empty());
  player.NextFrame();  // ignored while closed
  EXPECT_EQ(player.CurrentFrame(), 0);

  TFlicDecoder fromMemory;
  EXPECT_FALSE(fromMemory.Open(bytes));
  fromMemory.NextFrame();
  ExpectSameWalkState(player, fromMemory);
  EXPECT_TRUE(fromMemory.Reader().FileBuffer().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Open, RefusedFile,
    ::testing::Values(TRefusedCase{"EmptyFile", [] { return std::vector<std::uint8_t>{}; }},
                      TRefusedCase{"ShorterThanTheHeader",
                                   [] { auto b = SmallFile(8, 8); b.resize(127); return b; }},
                      TRefusedCase{"ZeroWidth", [] { return SmallFile(0, 8); }},
                      TRefusedCase{"ZeroHeight", [] { return SmallFile(8, 0); }},
                      TRefusedCase{"OnePixelTooMany", [] { return SmallFile(4097, 4096); }},
                      TRefusedCase{"LargestHeaderPicture", [] { return SmallFile(65535, 65535); }}),
    [](const auto& info) { return info.param.Name; });

TEST(RefusedPath, MissingEmptyOrFolderLeavesThePlayerClosed) {
  TTempFlic file(SmallFile(8, 8));
  for (const std::string& name : {std::string(), file.Name() + ".missing", file.Path().parent_path().string()}) {
    TFlicPlayer32 player;
    player.FileName = name;
    player.Open();
    EXPECT_FALSE(player.IsOpen()) << name;
    EXPECT_EQ(player.ErrorCode(), 0x106u) << name;
  }
}

TEST(PictureSizeLimit, ExactlyTwoToTheTwentyFourPixelsOpens) {
  TTempFlic file(SmallFile(4096, 4096));
  TFlicPlayer32 player;
  OpenIn(player, file.Path());
  EXPECT_TRUE(player.IsOpen());
  EXPECT_EQ(player.Surface().ImageSize(), 4096u * 4096u);
}

// The format's classic layout and the header's own frame offsets are two
// ways to the same walk.
TEST(ClassicLayout, WrapsToTheFrameAfterFrameOne) {
  const auto frames = BaseFrames();
  fw::TAnimationOptions options;
  options.Classic = true;
  options.FliDeltas = true;
  const fw::TFlicLayout layout = fw::BuildAnimation(frames, options);
  TTempFlic file(layout);
  TFlicPlayer32 player;
  OpenIn(player, file.Path());
  ASSERT_TRUE(player.IsOpen());
  EXPECT_EQ(player.Reader().FirstFrameOffset(), 128u);
  EXPECT_EQ(player.Reader().SecondFrameOffset(), fw::FrameOffset(layout, 1));
}

// A file read chunk by chunk and cut short while it is open: each frame is
// read when it is decoded, so the lost bytes show as damage (770) and the
// walk goes on, and the frames before the cut decode as they did.
class FileCutWhileOpen : public ::testing::TestWithParam<int> {};

TEST_P(FileCutWhileOpen, LostBytesAreDamageNeverACrash) {
  const std::vector<std::uint8_t> bytes = fw::Serialize(fw::BuildAnimation(BaseFrames(), fw::TAnimationOptions{}));
  const auto keep = static_cast<std::size_t>(GetParam() < 0 ? static_cast<int>(bytes.size()) + GetParam() : GetParam());
  TTempFlic file(bytes);
  // Only a file too large to be read whole is still read after Open.
  TLimits streamed;
  streamed.WholeFileBytes = 0;
  TFlicDecoder cut;
  cut.SetLimits(streamed);
  ASSERT_TRUE(cut.Open(file.Path()));
  EXPECT_TRUE(cut.Reader().FileBuffer().empty());
  TFlicDecoder whole;
  ASSERT_TRUE(whole.Open(bytes));
  std::filesystem::resize_file(file.Path(), keep);
  bool damaged = false;
  for (int step = 0; step < 3 * kFrames; ++step) {
    cut.NextFrame();
    whole.NextFrame();
    damaged = damaged || cut.ErrorCode() == kFlicErrorChunk;
    // Until the walk meets the cut, the pictures agree.
    if (!damaged) {
      EXPECT_EQ(DifferingPixels(PictureOf(cut.Surface()), PictureOf(whole.Surface())), 0) << step;
    }
  }
  EXPECT_TRUE(damaged);
  // The pass that met the cut says where it begins.
  EXPECT_NE(cut.FirstDamagedFrame(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cuts, FileCutWhileOpen, ::testing::Values(-1, -200, 300, 140, 0));

// A file whose frames set only some colours shows the rest as the file
// before left them. A decoder handed the carry of another decoder that
// walked the earlier file shows the same pictures in the same colours as
// that decoder going on to the file.
TEST(DecoderCarry, SecondDecoderShowsWhatTheFirstWouldShow) {
  std::vector<fw::TAnimationFrame> second;
  for (int f = 0; f < 2; ++f) second.push_back({PatternPicture(kWidth, kHeight, 20 + f), PatternColours(7), fw::TEncoding::enDelta});
  fw::TFlicLayout layout = fw::BuildAnimation(second, fw::TAnimationOptions{});
  // Frame 1 sets only the first 16 colours.
  for (fw::TChunk& chunk : layout.Frames[0].Chunks) {
    if (chunk.Type == fw::kColor256) {
      chunk.Payload = fw::Color256Payload({{0, std::vector<fw::TRgb>(16, fw::TRgb{9, 8, 7})}});
    }
  }
  const std::vector<std::uint8_t> earlier = fw::Serialize(fw::BuildAnimation(BaseFrames(), fw::TAnimationOptions{}));
  const std::vector<std::uint8_t> later = fw::Serialize(layout);

  TFlicDecoder one;
  ASSERT_TRUE(one.Open(earlier));
  for (int i = 0; i < one.FrameCount(); ++i) one.NextFrame();
  TFlicDecoder other;
  other.Adopt(one.Carry());
  ASSERT_TRUE(one.Open(later));
  ASSERT_TRUE(other.Open(later));
  for (int step = 0; step < 4; ++step) {
    if (step > 0) {
      one.NextFrame();
      other.NextFrame();
    }
    EXPECT_EQ(DifferingPixels(PictureOf(one.Surface()), PictureOf(other.Surface())), 0) << "step " << step;
    EXPECT_EQ(one.Surface().ColorTable(), other.Surface().ColorTable()) << "step " << step;
    EXPECT_EQ(ColoursOf(one.Palette()), ColoursOf(other.Palette())) << "step " << step;
  }
  // Without the carry the colours the later file leaves unset differ.
  TFlicDecoder fresh;
  ASSERT_TRUE(fresh.Open(later));
  EXPECT_NE(ColoursOf(fresh.Palette()), ColoursOf(other.Palette()));
}

}  // namespace
}  // namespace tovasel::testing
