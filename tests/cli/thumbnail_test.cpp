// `tovasel-cli thumbnail`: frame 1, scaled to fit, as a PNG that libspng
// reads back; damaged files give exit 1 and leave the output path alone.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli_fixture.h"
#include "support/png_reader.h"
#include "support/shared_corpus.h"

namespace tovasel::testing {
namespace {

namespace fs = std::filesystem;
namespace fw = tovasel::flicwriter;

using CliThumbnailTest = CliFixture;

// Frame 1 a left-to-right ramp of grey, frame 2 all black, so a thumbnail
// that took another frame shows it.
fw::TFlicLayout Ramp(int width, int height) {
  fw::TColours colours{};
  for (int i = 0; i < 256; ++i) colours[i] = fw::TRgb{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i)};
  fw::TIndexedPicture first(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) first.At(x, y) = static_cast<std::uint8_t>(x * 255 / std::max(1, width - 1));
  return fw::BuildAnimation({fw::TAnimationFrame{first, colours, fw::TEncoding::enByteRun},
                             fw::TAnimationFrame{fw::TIndexedPicture(width, height), colours, fw::TEncoding::enByteRun}},
                            {});
}

struct SizeCase {
  const char* Name;
  int Width, Height;
  std::vector<std::string> Size;  // the -s option, if any
  std::uint32_t ExpectedWidth, ExpectedHeight;
};

class ThumbnailSizeTest : public CliThumbnailTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(ThumbnailSizeTest, FitsTheBoxKeepingTheAspect) {
  const SizeCase& c = GetParam();
  const fs::path file = WriteFlic(Ramp(c.Width, c.Height), "ramp.flc");
  std::vector<std::string> args{"thumbnail"};
  args.insert(args.end(), c.Size.begin(), c.Size.end());
  args.insert(args.end(), {file.string(), "ramp.png"});
  const TRun r = Run(args);
  ASSERT_EQ(r.Exit, 0) << r.Err;
  EXPECT_EQ(r.Out + r.Err, "");
  const TDecodedPng png = ReadPng(dir_ / "ramp.png");
  ASSERT_EQ(png.Error, "");
  EXPECT_EQ(png.Width, c.ExpectedWidth);
  EXPECT_EQ(png.Height, c.ExpectedHeight);
  EXPECT_EQ(png.ColourType, 2) << "24-bit colour";
  // The ramp runs from black on the left to white on the right.
  EXPECT_LT(png.Rgb.front(), 16);
  EXPECT_GT(png.Rgb[png.Width * 3 - 1], 239);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ThumbnailSizeTest,
    ::testing::Values(SizeCase{"DefaultIs128", 320, 200, {}, 128, 80},
                      SizeCase{"TallPicture", 100, 400, {"-s", "64"}, 16, 64},
                      SizeCase{"LongOption", 320, 200, {"--size=256"}, 256, 160},
                      SizeCase{"SmallFrameIsNotEnlarged", 40, 30, {"-s", "256"}, 40, 30}),
    [](const auto& info) { return std::string(info.param.Name); });

// Not scaled, the thumbnail is frame 1 pixel for pixel in its palette
// colours: the first picture `frames` writes.
TEST_F(CliThumbnailTest, UnscaledThumbnailIsFrameOne) {
  const fs::path file = WriteFlic(Ramp(60, 20), "ramp.flc");
  ASSERT_EQ(Run({"thumbnail", file.string(), "ramp.png"}).Exit, 0);
  ASSERT_EQ(Run({"frames", file.string(), "-o", "frames", "--format", "ppm"}).Exit, 0);
  const TDecodedPng png = ReadPng(dir_ / "ramp.png");
  ASSERT_EQ(png.Error, "");
  const std::string ppm = ReadText(dir_ / "frames" / "0001.ppm");
  const std::string header = "P6\n60 20\n255\n";
  ASSERT_EQ(ppm.substr(0, header.size()), header);
  EXPECT_TRUE(ppm.compare(header.size(), std::string::npos, std::string(png.Rgb.begin(), png.Rgb.end())) == 0);
}

// A file shorter than its header says still has a whole frame 1 when the
// cut lies past it: a copy cut off later, or a header one byte too long as
// in real files.
TEST_F(CliThumbnailTest, FileCutAfterFrameOneStillGetsItsThumbnail) {
  auto bytes = fw::Serialize(Ramp(60, 20));
  bytes.resize(bytes.size() - 10);
  const fs::path file = dir_ / "cut.flc";
  fw::WriteFile(file, bytes);
  const TRun r = Run({"thumbnail", file.string(), "cut.png"});
  EXPECT_EQ(r.Exit, 0) << r.Err;
  EXPECT_EQ(ReadPng(dir_ / "cut.png").Width, 60u);
}

struct BadInputCase {
  const char* Name;
  std::function<std::vector<std::uint8_t>()> Bytes;  // nothing: no file at all
};

class ThumbnailBadInputTest : public CliThumbnailTest, public ::testing::WithParamInterface<BadInputCase> {};

// No thumbnail, exit 1, one error line, and whatever was at the output path
// stays.
TEST_P(ThumbnailBadInputTest, ExitsOneAndWritesNothing) {
  const fs::path file = dir_ / "bad.flc";
  const auto bytes = GetParam().Bytes();
  if (!bytes.empty()) fw::WriteFile(file, bytes);
  { std::ofstream(dir_ / "bad.png") << "old"; }
  const TRun r = Run({"thumbnail", file.string(), "bad.png"});
  EXPECT_EQ(r.Exit, 1);
  EXPECT_TRUE(r.Err.starts_with("tovasel-cli: ") && r.Err.find('\n') == r.Err.size() - 1) << r.Err;
  EXPECT_EQ(ReadText(dir_ / "bad.png"), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), bytes.empty() ? 1 : 2)
      << "a temporary file was left";
}

INSTANTIATE_TEST_SUITE_P(
    Files, ThumbnailBadInputTest,
    ::testing::Values(
        BadInputCase{"Missing", [] { return std::vector<std::uint8_t>{}; }},
        BadInputCase{"HeaderCutShort",
                     [] {
                       auto bytes = fw::Serialize(Ramp(8, 8));
                       bytes.resize(60);
                       return bytes;
                     }},
        BadInputCase{"NotAFlic", [] { return std::vector<std::uint8_t>(4000, 'x'); }},
        BadInputCase{"FirstFrameDamaged",
                     [] {
                       fw::TFlicLayout layout = Ramp(8, 8);
                       layout.Frames[0].Chunks.push_back(fw::TChunk{5, {1, 2}, std::nullopt});
                       return fw::Serialize(layout);
                     }}),
    [](const auto& info) { return std::string(info.param.Name); });

// Every malformed file of the corpus ends at once, with either a whole
// thumbnail (when the damage lies past frame 1) or exit 1 and no file.
TEST_F(CliThumbnailTest, MalformedCorpusFilesEndPromptlyAndCleanly) {
  TOVASEL_SKIP_WITHOUT_CORPUS();
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(CorpusFolder())) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_regular_file() || entry.path().extension() != ".fli" || name.starts_with("hopper") || name == "a.fli") {
      continue;
    }
    ++files;
    const auto start = std::chrono::steady_clock::now();
    const TRun r = Run({"thumbnail", entry.path().string(), "out.png"});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << name;
    EXPECT_EQ(r.Signal, 0) << name;
    if (r.Exit == 0) {
      EXPECT_EQ(ReadPng(dir_ / "out.png").Error, "") << name;
    } else {
      EXPECT_EQ(r.Exit, 1) << name;
      EXPECT_FALSE(fs::exists(dir_ / "out.png")) << name;
    }
    fs::remove(dir_ / "out.png");
  }
  EXPECT_GT(files, 10);
}

}  // namespace
}  // namespace tovasel::testing
