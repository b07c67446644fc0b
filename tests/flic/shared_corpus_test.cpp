// Real FLIC files and files that once broke other FLIC decoders, from the
// shared corpus. Skipped when the corpus is not there.
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "flic_test_support.h"
#include "imaging/bitmap.h"
#include "support/shared_corpus.h"

namespace tovasel::testing {
namespace {

const std::filesystem::path kCorpus = CorpusFolder();

struct TPixelFact {
  int X;
  int Y;
  std::uint8_t Red;
  std::uint8_t Green;
  std::uint8_t Blue;
};

struct TRealFile {
  std::string Name;
  std::string File;
  int Frames;
  int Width;
  int Height;
  int Speed;
  bool RingFrame;
  std::uint32_t Error;
  std::vector<TPixelFact> FirstFrame;
};

void PrintTo(const TRealFile& c, std::ostream* os) { *os << c.Name; }

TBitmap Picture(const TFlicPlayer32& player) {
  TBitmap b;
  player.Surface().CopyToBitmap(b);
  return b;
}

class RealFile : public ::testing::TestWithParam<TRealFile> {};

TEST_P(RealFile, DecodesAndComesBackToFrameOne) {
  const TRealFile& c = GetParam();
  TOVASEL_SKIP_WITHOUT_CORPUS();
  const auto path = kCorpus / c.File;

  TFlicPlayer32 player;
  OpenIn(player, path);
  ASSERT_TRUE(player.IsOpen());
  EXPECT_EQ(player.FrameCount(), c.Frames);
  EXPECT_EQ(player.Surface().Width(), c.Width);
  EXPECT_EQ(player.Surface().Height(), c.Height);
  EXPECT_EQ(player.Speed(), c.Speed);
  EXPECT_EQ(player.HasRingFrame(), c.RingFrame);

  const TBitmap first = Picture(player);
  for (const TPixelFact& f : c.FirstFrame) {
    const std::uint8_t* p = first.ScanLine(f.Y) + 3 * f.X;
    EXPECT_EQ(p[2], f.Red) << "(" << f.X << ", " << f.Y << ")";
    EXPECT_EQ(p[1], f.Green) << "(" << f.X << ", " << f.Y << ")";
    EXPECT_EQ(p[0], f.Blue) << "(" << f.X << ", " << f.Y << ")";
  }
  TFlicDecoder fromMemory;
  fromMemory.Open(FileBytes(path));
  ExpectSameWalkState(player, fromMemory);
  for (int i = 0; i < c.Frames; ++i) {
    player.NextFrame();
    fromMemory.NextFrame();
  }
  ExpectSameWalkState(player, fromMemory);
  EXPECT_EQ(player.CurrentFrame(), 1);
  EXPECT_TRUE(Picture(player) == first) << "one whole pass must end on frame 1 again";
  EXPECT_EQ(player.ErrorCode(), c.Error);
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, RealFile,
    ::testing::Values(
        TRealFile{"Flc2422", "2422.flc", 27, 320, 200, 171, true, 0,
                  {{0, 0, 252, 252, 252}, {160, 100, 0, 0, 0}}},
        TRealFile{"ClassicFli", "a.fli", 384, 320, 200, 5, true, 0,
                  {{0, 0, 32, 32, 32}, {160, 100, 12, 12, 152}, {300, 190, 140, 140, 140}}},
        // One byte short of its header size, and without a ring frame.
        TRealFile{"Hopper", "hopper.fli", 1, 128, 128, 40, false, 0x106,
                  {{0, 0, 19, 20, 67}, {64, 64, 171, 79, 50}, {127, 127, 131, 153, 201}}},
        TRealFile{"HopperPaletteAfterPicture", "hopper_palette_chunk_second.fli", 1, 128, 128, 40, false, 0x106,
                  {{0, 0, 19, 20, 67}, {64, 64, 171, 79, 50}, {127, 127, 131, 153, 201}}}),
    [](const auto& info) { return info.param.Name; });

TEST(RealFile, PaletteAfterThePictureGivesTheSamePicture) {
  TOVASEL_SKIP_WITHOUT_CORPUS();
  TFlicPlayer32 a;
  TFlicPlayer32 b;
  OpenIn(a, kCorpus / "hopper.fli");
  OpenIn(b, kCorpus / "hopper_palette_chunk_second.fli");
  EXPECT_TRUE(Picture(a) == Picture(b));
}

// Every other file in the corpus is damaged: it must open or be refused, and
// step through all its frames and past the wrap promptly, the decoder from
// its path and from memory as the player does.
TEST(MalformedFiles, OpenOrAreRefusedAndStepPromptly) {
  TOVASEL_SKIP_WITHOUT_CORPUS();
  const std::vector<std::string> real{"2422.flc", "a.fli", "hopper.fli", "hopper_palette_chunk_second.fli"};
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(kCorpus)) {
    if (!entry.is_regular_file() || entry.path().extension() == ".md") continue;
    if (std::find(real.begin(), real.end(), entry.path().filename().string()) != real.end()) continue;
    SCOPED_TRACE(entry.path().string());
    ++files;
    const auto start = std::chrono::steady_clock::now();
    TFlicPlayer32 player;
    OpenIn(player, entry.path());
    TFlicDecoder fromPath;
    TFlicDecoder fromMemory;
    fromPath.Open(entry.path());
    fromMemory.Open(FileBytes(entry.path()));
    if (!player.IsOpen()) {
      EXPECT_EQ(player.ErrorCode(), 0x106u);
      ExpectSameWalkState(player, fromPath);
      ExpectSameWalkState(player, fromMemory);
      continue;
    }
    for (int i = 0; i <= player.FrameCount() + 1; ++i) {
      player.NextFrame();
      fromPath.NextFrame();
      fromMemory.NextFrame();
    }
    ExpectSameWalkState(player, fromPath);
    ExpectSameWalkState(player, fromMemory);
    TBitmap picture;
    player.Surface().CopyToBitmap(picture);
    player.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  }
  EXPECT_GT(files, 10);
}

}  // namespace
}  // namespace tovasel::testing
