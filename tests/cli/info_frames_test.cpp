// Runs the built tovasel-cli and checks its output, files and exit codes.
#include <cstdio>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "cli_fixture.h"

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
           {}, {"bogus"}, {"info"}, {"info", "a", "b"}, {"frames", "x"}, {"--nonsense", "info", "x"}}) {
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

TEST_F(CliInfoFramesTest, FramesWritesOnePpmPerFrame) {
  const auto file = WriteFlic(SmallAnimation(3, true), "three.flc");
  const fs::path out = dir_ / "pictures";
  const TRun r = Run({"frames", file.string(), "-o", out.string()});
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

TEST_F(CliInfoFramesTest, FramesWritesNothingForAnEmptyAnimation) {
  fw::TFlicLayout layout = SmallAnimation(1, true);
  layout.FrameCountOverride = 0;
  const auto file = WriteFlic(layout, "empty.flc");
  const fs::path out = dir_ / "none";
  const TRun r = Run({"frames", file.string(), "-o", out.string()});
  EXPECT_EQ(r.Exit, 0);
  EXPECT_TRUE(fs::is_empty(out));
}

}  // namespace
}  // namespace tovasel::testing
