// Frames whose chunk lists ask for far more work than their bytes and
// pixels justify: decoding stops early and says so, and the work charged for
// a whole pass stays within a small constant times bytes plus pixels.
#include <string>
#include <vector>

#include "flic_test_support.h"

namespace tovasel::testing {
namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr std::uint64_t kPixels = std::uint64_t{kWidth} * kHeight;

struct TBombCase {
  std::string Name;
  fw::TChunk Chunk;
  int Copies;
  // Steps taken: the walk comes back to the bomb on every pass.
  int Steps;
};

void PrintTo(const TBombCase& c, std::ostream* os) { *os << c.Name; }

// One frame that sets the picture, then a frame of many copies of one
// cheap chunk.
fw::TFlicLayout BombLayout(const TBombCase& c) {
  fw::TFlicLayout layout = fw::BuildAnimation(
      {fw::TAnimationFrame{PatternPicture(kWidth, kHeight, 3), PatternColours(1), fw::TEncoding::enByteRun}},
      fw::TAnimationOptions{.RingFrame = false});
  fw::TFrame bomb;
  bomb.Chunks.assign(static_cast<std::size_t>(c.Copies), c.Chunk);
  layout.Frames.push_back(bomb);
  return layout;
}

class DecodeWorkBomb : public ::testing::TestWithParam<TBombCase> {};

TEST_P(DecodeWorkBomb, FrameStopsWithinItsBudgetAndReportsIt) {
  const TBombCase& c = GetParam();
  const std::vector<std::uint8_t> bytes = fw::Serialize(BombLayout(c));
  TTempFlic file(bytes);
  TFlicPlayer32 player;
  OpenIn(player, file.Path());
  ASSERT_TRUE(player.IsOpen());
  EXPECT_EQ(player.ErrorCode(), 0u);
  player.NextFrame();
  EXPECT_EQ(player.ErrorCode(), 0x302u) << "a frame of " << c.Copies << " chunks decoded to its end";
  for (int f = 2; f < c.Steps; ++f) player.NextFrame();
  const std::uint64_t bound = 64 * (bytes.size() + std::uint64_t(c.Steps) * kPixels);
  EXPECT_LE(player.Reader().WorkDone(), bound);
}

fw::TChunk Chunk(std::uint16_t type, std::vector<std::uint8_t> payload = {}) {
  return fw::TChunk{type, std::move(payload), std::nullopt};
}

INSTANTIATE_TEST_SUITE_P(
    Bombs, DecodeWorkBomb,
    ::testing::Values(TBombCase{"ManyBlackChunks", Chunk(fw::kBlack), 20000, 400},
                      TBombCase{"ManyEmptyColourChunks", Chunk(fw::kColor256, {0, 0}), 20000, 400},
                      TBombCase{"ManyWholePictures", Chunk(fw::kFliCopy, std::vector<std::uint8_t>(kPixels, 7)), 200,
                                3}),
    [](const auto& info) { return info.param.Name; });

// A frame that sets its colours and its picture in several chunks, as real
// files do, is decoded whole even on the smallest picture.
TEST(DecodeWork, WellFormedFramesOnATinyPictureStayWithinBudget) {
  fw::TColours colours = PatternColours(2);
  fw::TIndexedPicture picture = PatternPicture(1, 1, 5);
  fw::TFlicLayout layout;
  layout.Width = 1;
  layout.Height = 1;
  layout.RingFrame = false;
  fw::TFrame frame;
  frame.Chunks.push_back(Chunk(fw::kPostageStamp, std::vector<std::uint8_t>(4000, 1)));
  frame.Chunks.push_back(Chunk(fw::kColor256, fw::AllColours256(colours)));
  frame.Chunks.push_back(Chunk(fw::kColor64, fw::AllColours64(colours)));
  frame.Chunks.push_back(Chunk(fw::kBlack));
  frame.Chunks.push_back(Chunk(fw::kByteRun, fw::ByteRunPayload(picture)));
  frame.Chunks.push_back(Chunk(fw::kFliCopy, fw::CopyPayload(picture)));
  layout.Frames.push_back(frame);
  TTempFlic file(layout);
  TFlicPlayer32 player;
  OpenIn(player, file.Path());
  ASSERT_TRUE(player.IsOpen());
  EXPECT_EQ(player.ErrorCode(), 0u);
  EXPECT_EQ(PictureOf(player.Surface()), picture);
}

}  // namespace
}  // namespace tovasel::testing
