// Runs the built tovasel-cli and checks its output, files and exit codes.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "cli_fixture.h"
#include "support/png_reader.h"
#include "support/shared_corpus.h"

namespace tovasel::testing {
namespace {

namespace fs = std::filesystem;
namespace fw = tovasel::flicwriter;

using CliInfoFramesTest = CliFixture;

fw::TFlicLayout SmallAnimation(int frames, bool ring) {
  std::vector<fw::TAnimationFrame> list;
  fw::TColours colours{};
  colours[1] = fw::TRgb{255, 0, 0};
  colours[2] = fw::TRgb{0, 0, 255};
  for (int f = 0; f < frames; ++f) {
    fw::TIndexedPicture p(5, 3, 1);
    p.At(f % 5, 0) = 2;
    list.push_back(fw::TAnimationFrame{p, colours, fw::TEncoding::enDelta});
  }
  fw::TAnimationOptions options;
  options.RingFrame = ring;
  options.Speed = 66;
  return fw::BuildAnimation(list, options);
}

TEST_F(CliInfoFramesTest, HelpExitsZero) {
  const TRun r = Run({"--help"});
  EXPECT_EQ(r.Exit, 0);
  EXPECT_NE(r.Out.find("info"), std::string::npos);
  EXPECT_NE(r.Out.find("frames"), std::string::npos);
}

TEST_F(CliInfoFramesTest, UsageErrorsExitTwo) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {},
           {"bogus"},
           {"info"},
           {"info", "a", "b"},
           {"frames", "x"},
           {"--nonsense", "info", "x"},
           {"frames", "x", "-o", "d", "--format", "gif"},
           {"thumbnail", "x"},
           {"thumbnail", "-s", "0", "x", "y.png"},
           {"thumbnail", "-s", "big", "x", "y.png"}}) {
    const TRun r = Run(args);
    EXPECT_EQ(r.Exit, 2) << "args: " << ::testing::PrintToString(args);
    EXPECT_FALSE(r.Err.empty()) << "args: " << ::testing::PrintToString(args);
  }
}

TEST_F(CliInfoFramesTest, InfoPrintsTheFacts) {
  const auto file = WriteFlic(SmallAnimation(4, true), "four.flc");
  const TRun r = Run({"info", file.string()});
  EXPECT_EQ(r.Exit, 0);
  EXPECT_EQ(r.Out, "frames: 4\nwidth: 5\nheight: 3\nspeed: 66\nring frame: yes\nerror: 0\n");
  EXPECT_TRUE(r.Err.empty());
}

TEST_F(CliInfoFramesTest, InfoReportsDamageFoundWhileStepping) {
  fw::TFlicLayout layout = SmallAnimation(3, false);
  layout.Frames[2].Chunks.push_back(fw::TChunk{5, {1, 2}, std::nullopt});
  const auto file = WriteFlic(layout, "damaged.flc");
  const TRun r = Run({"info", file.string()});
  EXPECT_EQ(r.Exit, 0);
  EXPECT_EQ(r.Out, "frames: 3\nwidth: 5\nheight: 3\nspeed: 66\nring frame: no\nerror: 770 (damaged from frame 3)\n");
}

TEST_F(CliInfoFramesTest, FileThatDoesNotOpenExitsOne) {
  const std::string missing = (dir_ / "missing.flc").string();
  for (const std::string command : {"info", "frames"}) {
    std::vector<std::string> args{command, missing};
    if (command == "frames") args.insert(args.end(), {"-o", (dir_ / "out").string()});
    const TRun r = Run(args);
    EXPECT_EQ(r.Exit, 1) << command;
    EXPECT_EQ(r.Err, "tovasel-cli: Cannot open FLIC file " + missing + ": no such file\n") << command;
    EXPECT_TRUE(r.Out.empty()) << command;
  }
}

TEST_F(CliInfoFramesTest, FramesWritesOnePpmPerFrameAsBefore) {
  const auto file = WriteFlic(SmallAnimation(3, true), "three.flc");
  const fs::path out = dir_ / "pictures";
  const TRun r = Run({"frames", file.string(), "-o", out.string(), "--format", "ppm"});
  ASSERT_EQ(r.Exit, 0) << r.Err;
  EXPECT_FALSE(fs::exists(out / "0004.ppm"));
  for (int k = 1; k <= 3; ++k) {
    char name[16];
    std::snprintf(name, sizeof name, "%04d.ppm", k);
    const std::string ppm = ReadText(out / name);
    const std::string header = "P6\n5 3\n255\n";
    ASSERT_EQ(ppm.size(), header.size() + 5 * 3 * 3) << name;
    EXPECT_EQ(ppm.substr(0, header.size()), header);
    // Frame k has its blue pixel at x = k - 1 of the top row, red elsewhere.
    for (int x = 0; x < 5; ++x) {
      const std::string rgb = ppm.substr(header.size() + 3 * x, 3);
      EXPECT_EQ(rgb, x == k - 1 ? std::string("\0\0\xff", 3) : std::string("\xff\0\0", 3)) << name << " x " << x;
    }
  }
}

// Frames whose colours change from one to the next, so that each PNG must
// carry its own frame's palette.
fw::TFlicLayout ChangingColours(int frames) {
  std::vector<fw::TAnimationFrame> list;
  for (int f = 0; f < frames; ++f) {
    fw::TIndexedPicture p(7, 4);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 7; ++x) p.At(x, y) = static_cast<std::uint8_t>(x * 37 + y * 11 + f * 5);
    fw::TColours c{};
    for (int i = 0; i < 256; ++i)
      c[i] = fw::TRgb{static_cast<std::uint8_t>(i * 3 + f), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i ^ (f * 40))};
    list.push_back(fw::TAnimationFrame{p, c, fw::TEncoding::enByteRun});
  }
  return fw::BuildAnimation(list, {});
}

struct PngSource {
  const char* Name;
  std::function<fs::path(CliInfoFramesTest& test)> Make;
  bool FromCorpus = false;
};

class FramesPngTest : public CliInfoFramesTest, public ::testing::WithParamInterface<PngSource> {
 public:
  fs::path Write(const fw::TFlicLayout& layout, const std::string& name) { return WriteFlic(layout, name); }
};

// PNG is the default; libspng decodes each picture to exactly the pixels of
// the PPM of the same frame, from an 8-bit indexed file.
TEST_P(FramesPngTest, EachPngShowsThePixelsOfItsPpm) {
  if (GetParam().FromCorpus) TOVASEL_SKIP_WITHOUT_CORPUS();
  const fs::path file = GetParam().Make(*this);
  const fs::path png = dir_ / "png";
  const fs::path ppm = dir_ / "ppm";
  ASSERT_EQ(Run({"frames", file.string(), "-o", png.string()}).Exit, 0);
  ASSERT_EQ(Run({"frames", file.string(), "-o", ppm.string(), "--format", "ppm"}).Exit, 0);
  int pictures = 0;
  for (const auto& entry : fs::directory_iterator(ppm)) {
    const std::string stem = entry.path().stem().string();
    const std::string bytes = ReadText(entry.path());
    const TDecodedPng decoded = ReadPng(png / (stem + ".png"));
    ASSERT_EQ(decoded.Error, "") << stem;
    EXPECT_EQ(decoded.ColourType, 3) << stem;
    EXPECT_EQ(decoded.BitDepth, 8) << stem;
    const std::string header = "P6\n" + std::to_string(decoded.Width) + ' ' + std::to_string(decoded.Height) + "\n255\n";
    ASSERT_EQ(bytes.substr(0, header.size()), header) << stem;
    EXPECT_TRUE(bytes.compare(header.size(), std::string::npos,
                              std::string(decoded.Rgb.begin(), decoded.Rgb.end())) == 0)
        << stem << ": the PNG shows other pixels than the PPM";
    ++pictures;
  }
  EXPECT_GT(pictures, 1);
  EXPECT_EQ(std::distance(fs::directory_iterator(png), fs::directory_iterator()), pictures);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, FramesPngTest,
    ::testing::Values(
        PngSource{"ColoursChangingEachFrame", [](CliInfoFramesTest& t) {
                    return static_cast<FramesPngTest&>(t).Write(ChangingColours(4), "colours.flc");
                  }},
        PngSource{"Corpus2422", [](CliInfoFramesTest&) { return CorpusFolder() / "2422.flc"; }, true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CliInfoFramesTest, FramesWritesNothingForAnEmptyAnimation) {
  fw::TFlicLayout layout = SmallAnimation(1, true);
  layout.FrameCountOverride = 0;
  const auto file = WriteFlic(layout, "empty.flc");
  const fs::path out = dir_ / "none";
  const TRun r = Run({"frames", file.string(), "-o", out.string()});
  EXPECT_EQ(r.Exit, 0);
  EXPECT_TRUE(fs::is_empty(out));
}

struct QuietCase {
  const char* Name;
  std::vector<std::string> Args;  // "%f" stands for a FLIC file, "%d" for the scratch folder
  const char* Out;                // what standard output still shows
  const char* Written;            // a file the command still writes, or ""
};

class QuietTest : public CliInfoFramesTest, public ::testing::WithParamInterface<QuietCase> {};

// Every command takes -q and --quiet: its result (info's facts, the files
// written) stays, progress and "Wrote" lines go.
TEST_P(QuietTest, EveryCommandTakesQuiet) {
  const auto file = WriteFlic(SmallAnimation(2, true), "two.flc");
  for (const char* quiet : {"-q", "--quiet"}) {
    std::vector<std::string> args;
    for (const auto& a : GetParam().Args) args.push_back(a == "%f" ? file.string() : a == "%d" ? dir_.string() : a);
    args.push_back(quiet);
    const TRun r = Run(args);
    EXPECT_EQ(r.Exit, 0) << quiet << ": " << r.Err;
    EXPECT_EQ(r.Err, "") << quiet;
    EXPECT_EQ(r.Out, GetParam().Out) << quiet;
    if (*GetParam().Written != '\0') {
      EXPECT_TRUE(fs::exists(dir_ / GetParam().Written)) << quiet;
      fs::remove_all(dir_ / GetParam().Written);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, QuietTest,
    ::testing::Values(
        QuietCase{"Info", {"info", "%f"}, "frames: 2\nwidth: 5\nheight: 3\nspeed: 66\nring frame: yes\nerror: 0\n", ""},
        QuietCase{"Frames", {"frames", "%f", "-o", "pictures"}, "", "pictures/0002.png"},
        QuietCase{"Thumbnail", {"thumbnail", "%f", "small.png"}, "", "small.png"},
        QuietCase{"Convert", {"convert", "%f"}, "", "two.gif"},
        QuietCase{"Batch", {"batch", "%d"}, "", "two.gif"}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace tovasel::testing
