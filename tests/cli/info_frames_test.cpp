// Runs the built tovasel-cli and checks its output, files and exit codes.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "flicwriter/flic_writer.h"

namespace tovasel::testing {
namespace {

namespace fs = std::filesystem;
namespace fw = tovasel::flicwriter;

struct TRun {
  int Exit = -1;
  std::string Out;
  std::string Err;
};

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class CliInfoFramesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tovasel-cli-test-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  TRun Run(const std::string& args) {
    const fs::path out = dir_ / "stdout.txt";
    const fs::path err = dir_ / "stderr.txt";
    const std::string command = std::string("'") + TOVASEL_CLI + "' " + args + " >'" + out.string() + "' 2>'" +
                                err.string() + "'";
    const int status = std::system(command.c_str());
    TRun r;
    r.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.Out = Slurp(out);
    r.Err = Slurp(err);
    return r;
  }

  fs::path WriteFlic(const fw::TFlicLayout& layout, const std::string& name) {
    const fs::path path = dir_ / name;
    fw::WriteFile(path, fw::Serialize(layout));
    return path;
  }

  fs::path dir_;
};

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
  const TRun r = Run("--help");
  EXPECT_EQ(r.Exit, 0);
  EXPECT_NE(r.Out.find("info"), std::string::npos);
  EXPECT_NE(r.Out.find("frames"), std::string::npos);
}

TEST_F(CliInfoFramesTest, UsageErrorsExitTwo) {
  for (const std::string args : {"", "bogus", "info", "info a b", "frames x", "--nonsense info x"}) {
    const TRun r = Run(args);
    EXPECT_EQ(r.Exit, 2) << "args: " << args;
    EXPECT_FALSE(r.Err.empty()) << "args: " << args;
  }
}

TEST_F(CliInfoFramesTest, InfoPrintsTheFacts) {
  const auto file = WriteFlic(SmallAnimation(4, true), "four.flc");
  const TRun r = Run("info '" + file.string() + "'");
  EXPECT_EQ(r.Exit, 0);
  EXPECT_EQ(r.Out, "frames: 4\nwidth: 5\nheight: 3\nspeed: 66\nring frame: yes\nerror: 0\n");
  EXPECT_TRUE(r.Err.empty());
}

TEST_F(CliInfoFramesTest, InfoReportsDamageFoundWhileStepping) {
  fw::TFlicLayout layout = SmallAnimation(3, false);
  layout.Frames[2].Chunks.push_back(fw::TChunk{5, {1, 2}, std::nullopt});
  const auto file = WriteFlic(layout, "damaged.flc");
  const TRun r = Run("info '" + file.string() + "'");
  EXPECT_EQ(r.Exit, 0);
  EXPECT_EQ(r.Out, "frames: 3\nwidth: 5\nheight: 3\nspeed: 66\nring frame: no\nerror: 770\n");
}

TEST_F(CliInfoFramesTest, FileThatDoesNotOpenExitsOne) {
  const std::string missing = (dir_ / "missing.flc").string();
  for (const std::string command : {"info", "frames"}) {
    const TRun r = Run(command + " '" + missing + "'" + (command == "frames" ? " -o '" + (dir_ / "out").string() + "'" : ""));
    EXPECT_EQ(r.Exit, 1) << command;
    EXPECT_EQ(r.Err, "tovasel-cli: Cannot open FLIC file " + missing + "\n") << command;
    EXPECT_TRUE(r.Out.empty()) << command;
  }
}

TEST_F(CliInfoFramesTest, FramesWritesOnePpmPerFrame) {
  const auto file = WriteFlic(SmallAnimation(3, true), "three.flc");
  const fs::path out = dir_ / "pictures";
  const TRun r = Run("frames '" + file.string() + "' -o '" + out.string() + "'");
  ASSERT_EQ(r.Exit, 0) << r.Err;
  EXPECT_FALSE(fs::exists(out / "0004.ppm"));
  for (int k = 1; k <= 3; ++k) {
    char name[16];
    std::snprintf(name, sizeof name, "%04d.ppm", k);
    const std::string ppm = Slurp(out / name);
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
  const TRun r = Run("frames '" + file.string() + "' -o '" + out.string() + "'");
  EXPECT_EQ(r.Exit, 0);
  EXPECT_TRUE(fs::is_empty(out));
}

}  // namespace
}  // namespace tovasel::testing
