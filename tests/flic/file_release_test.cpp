// What the decoder holds of a file: a small file is read whole and let go
// at once, a large one stays open until the owner releases it, bytes handed
// over are taken without a copy, and a thumbnail reads frame 1 alone.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "flic_test_support.h"

namespace tovasel::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 9;
constexpr int kHeight = 7;
constexpr int kFrames = 3;

fw::TFlicLayout Layout(bool classic = false) {
  std::vector<fw::TAnimationFrame> frames;
  for (int f = 0; f < kFrames; ++f)
    frames.push_back({PatternPicture(kWidth, kHeight, 60 + f), PatternColours(3 + f), fw::TEncoding::enDelta});
  return fw::BuildAnimation(frames, fw::TAnimationOptions{.FliDeltas = classic, .Classic = classic});
}

int OpenDescriptors() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

// Pictures and colours of two passes agree step by step.
void ExpectSameWalk(TFlicDecoder& a, TFlicDecoder& b) {
  for (int step = 0; step <= 2 * kFrames; ++step) {
    if (step > 0) {
      a.NextFrame();
      b.NextFrame();
    }
    EXPECT_EQ(DifferingPixels(PictureOf(a.Surface()), PictureOf(b.Surface())), 0) << "step " << step;
    EXPECT_EQ(a.Surface().ColorTable(), b.Surface().ColorTable()) << "step " << step;
    EXPECT_EQ(a.ErrorCode(), b.ErrorCode()) << "step " << step;
  }
}

struct TChangeCase {
  std::string Name;
  std::function<void(const fs::path&)> Change;
};

void PrintTo(const TChangeCase& c, std::ostream* os) { *os << c.Name; }

class FileChangedAfterOpen : public ::testing::TestWithParam<TChangeCase> {};

// A file read whole holds no descriptor, and what happens to the file
// afterwards does not reach the frames.
TEST_P(FileChangedAfterOpen, WalkShowsTheFileAsOpened) {
  const std::vector<std::uint8_t> bytes = fw::Serialize(Layout());
  TTempFlic file(bytes);
  const int before = OpenDescriptors();
  TFlicDecoder fromPath;
  ASSERT_TRUE(fromPath.Open(file.Path()));
  EXPECT_EQ(OpenDescriptors(), before);
  GetParam().Change(file.Path());
  TFlicDecoder fromMemory;
  ASSERT_TRUE(fromMemory.Open(bytes));
  ExpectSameWalk(fromPath, fromMemory);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, FileChangedAfterOpen,
    ::testing::Values(TChangeCase{"Deleted", [](const fs::path& p) { fs::remove(p); }},
                      TChangeCase{"Truncated", [](const fs::path& p) { fs::resize_file(p, 130); }},
                      TChangeCase{"Rewritten",
                                  [](const fs::path& p) {
                                    std::vector<std::uint8_t> other = fw::Serialize(Layout());
                                    for (std::size_t i = 200; i < other.size(); ++i) other[i] ^= 0x5A;
                                    fw::WriteFile(p, other);
                                  }}),
    [](const auto& info) { return info.param.Name; });

class WholeFileLimit : public ::testing::TestWithParam<bool> {};

// Up to the limit the file is read whole; beyond it, it stays open and is
// read chunk by chunk until ReleaseFile, which keeps what the owner reads.
TEST_P(WholeFileLimit, DecidesBetweenReadingWholeAndChunkByChunk) {
  const bool fits = GetParam();
  const std::vector<std::uint8_t> bytes = fw::Serialize(Layout());
  TTempFlic file(bytes);
  TLimits limits;
  limits.WholeFileBytes = bytes.size() - (fits ? 0 : 1);
  const int before = OpenDescriptors();
  TFlicDecoder decoder;
  decoder.SetLimits(limits);
  ASSERT_TRUE(decoder.Open(file.Path()));
  EXPECT_EQ(decoder.Reader().FileBuffer().size(), fits ? bytes.size() : 0u);
  EXPECT_EQ(OpenDescriptors(), before + (fits ? 0 : 1));
  decoder.NextFrame();

  const fw::TIndexedPicture shown = PictureOf(decoder.Surface());
  decoder.ReleaseFile();
  EXPECT_EQ(OpenDescriptors(), before);
  EXPECT_TRUE(decoder.Reader().FileBuffer().empty());
  EXPECT_TRUE(decoder.IsOpen());
  EXPECT_EQ(decoder.FrameCount(), kFrames);
  EXPECT_EQ(decoder.Speed(), 70);
  EXPECT_EQ(decoder.FlicType(), fw::TFlicLayout{}.Magic);
  EXPECT_EQ(decoder.FileName(), file.Name());
  EXPECT_TRUE(decoder.HasRingFrame());
  // Nothing is left to read: the walk stands where it was.
  decoder.NextFrame();
  decoder.Restart();
  EXPECT_EQ(decoder.CurrentFrame(), 2);
  EXPECT_EQ(DifferingPixels(PictureOf(decoder.Surface()), shown), 0);
  EXPECT_EQ(decoder.ErrorCode(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Sizes, WholeFileLimit, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "AtTheLimit" : "OneByteAbove"; });

// Bytes handed over are walked where they are, cut to the header's size.
TEST(TakenBytes, AreWalkedInPlaceUnderTheirName) {
  const std::vector<std::uint8_t> original = fw::Serialize(Layout());
  std::vector<std::uint8_t> bytes = original;
  bytes.resize(original.size() + 40, 0xEE);
  const std::uint8_t* data = bytes.data();
  TFlicDecoder taken;
  ASSERT_TRUE(taken.Open(std::move(bytes), "standard input"));
  EXPECT_EQ(taken.Reader().FileBuffer().data(), data);
  EXPECT_EQ(taken.Reader().FileBuffer().size(), original.size());
  EXPECT_EQ(taken.FileName(), "standard input");
  TFlicDecoder copied;
  ASSERT_TRUE(copied.Open(original));
  ExpectSameWalk(taken, copied);

  // Fewer bytes than the header says are kept as they are, and reported.
  std::vector<std::uint8_t> cut(original.begin(), original.end() - 10);
  const std::uint8_t* cutData = cut.data();
  ASSERT_TRUE(taken.Open(std::move(cut), "standard input"));
  EXPECT_EQ(taken.Reader().FileBuffer().data(), cutData);
  EXPECT_EQ(taken.ErrorCode(), kFlicErrorFile);

  EXPECT_FALSE(taken.Open(std::vector<std::uint8_t>(100), "standard input"));
  EXPECT_EQ(taken.OpenFailure(), "not a FLIC file (shorter than the 128-byte header)");
  EXPECT_EQ(taken.FileName(), "standard input");
}

class FirstFrameOnly : public ::testing::TestWithParam<bool> {};

// A thumbnail's open shows frame 1 as Open does and keeps no file.
TEST_P(FirstFrameOnly, DecodesFrameOneAsOpenDoes) {
  fw::TFlicLayout layout = Layout(GetParam());
  // Frames the file does not hold: only a walk over every frame header
  // would notice them.
  layout.FrameCountOverride = 40;
  TTempFlic file(layout);
  const int before = OpenDescriptors();
  TFlicDecoder thumbnail;
  ASSERT_TRUE(thumbnail.OpenFirstFrame(file.Path()));
  EXPECT_EQ(OpenDescriptors(), before);
  TFlicDecoder whole;
  ASSERT_TRUE(whole.Open(file.Path()));
  EXPECT_EQ(DifferingPixels(PictureOf(thumbnail.Surface()), PictureOf(whole.Surface())), 0);
  EXPECT_EQ(thumbnail.Surface().ColorTable(), whole.Surface().ColorTable());
  EXPECT_EQ(ColoursOf(thumbnail.Palette()), ColoursOf(whole.Palette()));
  EXPECT_EQ(thumbnail.FrameCount(), 40);
  EXPECT_EQ(thumbnail.ErrorCode(), 0u);
  EXPECT_EQ(whole.ErrorCode(), kFlicErrorChunk);
  thumbnail.NextFrame();
  EXPECT_EQ(thumbnail.CurrentFrame(), 1);
}

INSTANTIATE_TEST_SUITE_P(Layouts, FirstFrameOnly, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "ClassicFli" : "Flc"; });

}  // namespace
}  // namespace tovasel::testing
