// The built tovasel-cli against hostile files, paths and signals: every
// failure is one "tovasel-cli: " line and exit code 1, no input is ever
// replaced by its own GIF, and a signal leaves no temporary file behind.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "cli_fixture.h"
#include "support/png_reader.h"

namespace tovasel::testing {
namespace {

namespace fs = std::filesystem;
namespace fw = tovasel::flicwriter;

// The tool works in a folder of its own, apart from the captured output, so
// that a test may take its rights away.
class CliHostileTest : public CliFixture {
 protected:
  void SetUp() override { fs::create_directories(Work()); }
  fs::path Work() const override { return dir_ / "work"; }

  int TempFilesLeft() const {
    int n = 0;
    for (const auto& e : fs::recursive_directory_iterator(Work()))
      if (e.path().filename().string().starts_with(".tovasel-")) ++n;
    return n;
  }

};

fw::TFlicLayout SmallAnimation(int width, int height, int frames) {
  std::vector<fw::TAnimationFrame> list;
  for (int f = 0; f < frames; ++f) {
    fw::TIndexedPicture p(width, height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        p.At(x, y) = static_cast<std::uint8_t>((x * 7 + y * 13 + f * 31 + ((x * y * (f + 3)) >> 2)) & 0xFF);
    fw::TColours c{};
    for (int i = 0; i < 256; ++i)
      c[i] = fw::TRgb{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                      static_cast<std::uint8_t>((i * 37 + f) & 0xFF)};
    list.push_back(fw::TAnimationFrame{p, c, fw::TEncoding::enByteRun});
  }
  return fw::BuildAnimation(list, {});
}

TEST_F(CliHostileTest, FramesRefusesAPictureBombBeforeWritingAnything) {
  // 64 KiB holding 4096 empty frames of 4096 x 4096 pixels: 64 GiB of
  // pictures, more than any machine's budget.
  fw::TFlicLayout layout;
  layout.Width = 4096;
  layout.Height = 4096;
  layout.RingFrame = false;
  layout.Frames.assign(4096, fw::TFrame{});
  const fs::path file = WriteFlic(layout, "bomb.flc");
  const TRun r = Run({"frames", file.string(), "-o", (Work() / "out").string()});
  EXPECT_EQ(r.Exit, 1);
  EXPECT_TRUE(r.Err.starts_with("tovasel-cli: FLIC file " + file.string() +
                                " has too many frames to write as pictures: 65,540 MiB of pixels, "))
      << r.Err;
  EXPECT_TRUE(!fs::exists(Work() / "out") || fs::is_empty(Work() / "out")) << "a picture was written";
}

// 150 bytes of 4096 x 4096 pixels claiming 65,535 frames, the second-frame
// offset back at frame 1: once an hour of streaming and a GIF of 940 MB,
// now the one frame the file holds.
TEST_F(CliHostileTest, FileHoldingFewerFramesThanItClaimsStopsAtThem) {
  fw::TFlicLayout layout;
  layout.Width = 4096;
  layout.Height = 4096;
  layout.RingFrame = false;
  fw::TFrame frame;
  frame.Chunks.push_back(fw::TChunk{fw::kBlack, {}, std::nullopt});
  layout.Frames.push_back(frame);
  layout.FrameCountOverride = 65535;
  layout.SecondFrameOverride = 128;
  const fs::path file = WriteFlic(layout, "claims.flc");
  ASSERT_EQ(fs::file_size(file), 150u);

  const TRun info = Run({"info", file.string()});
  EXPECT_EQ(info.Exit, 0);
  EXPECT_EQ(info.Out, "frames: 1\nwidth: 4096\nheight: 4096\nspeed: 70\nring frame: no\n"
                      "error: 770 (damaged from frame 2)\n");
  const TRun convert = Run({"convert", file.string(), "-o", (Work() / "claims.gif").string()});
  EXPECT_EQ(convert.Exit, 0) << convert.Err;
  EXPECT_EQ(convert.Out, "Wrote " + (Work() / "claims.gif").string() + " with 1 GIF frame\n");
  EXPECT_LT(fs::file_size(Work() / "claims.gif"), 64u * 1024);
}

// The cause follows the message, here for a text file whose first bytes
// read as a huge picture.
TEST_F(CliHostileTest, TextFileIsNotAFlicFile) {
  const fs::path file = Work() / "notes.flc";
  std::ofstream(file) << "This text is no FLIC file. " << std::string(120, '.');
  const TRun r = Run({"info", file.string()});
  EXPECT_EQ(r.Exit, 1);
  EXPECT_EQ(r.Err, "tovasel-cli: Cannot open FLIC file " + file.string() +
                       ": not a FLIC file (a picture of 8308 × 29545 pixels, more than 16777216)\n");
}

struct TFolderCase {
  const char* Name;
  std::function<fs::path(const fs::path& work)> Make;
  bool NeedsUnprivileged = false;
};

class FramesFolderTest : public CliHostileTest, public ::testing::WithParamInterface<TFolderCase> {};

// Folders that cannot even be checked end in an error line, not an abort.
TEST_P(FramesFolderTest, UncheckableFolderIsAnErrorLine) {
  if (GetParam().NeedsUnprivileged && ::geteuid() == 0) GTEST_SKIP() << "root may enter any folder";
  const fs::path file = WriteFlic(SmallAnimation(4, 3, 2), "a.flc");
  const fs::path out = GetParam().Make(Work());
  const TRun r = Run({"frames", file.string(), "-o", out.string()});
  EXPECT_EQ(r.Signal, 0);
  EXPECT_EQ(r.Exit, 1);
  EXPECT_EQ(r.Err, "tovasel-cli: Cannot create folder " + out.string() + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Folders, FramesFolderTest,
    ::testing::Values(TFolderCase{"NameTooLong", [](const fs::path& w) { return w / std::string(300, 'n'); }},
                      TFolderCase{"LinkLoop",
                                  [](const fs::path& w) {
                                    fs::create_symlink(w / "loop2", w / "loop1");
                                    fs::create_symlink(w / "loop1", w / "loop2");
                                    return w / "loop1" / "out";
                                  }},
                      TFolderCase{"NoEntry",
                                  [](const fs::path& w) {
                                    fs::create_directory(w / "closed");
                                    fs::permissions(w / "closed", fs::perms::none);
                                    return w / "closed" / "out";
                                  },
                                  true}),
    [](const auto& info) { return std::string(info.param.Name); });

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

class HugeFileTest : public CliHostileTest, public ::testing::WithParamInterface<const char*> {};

// A sparse file of 4 GiB whose header claims all of it, under an address
// space limit far below that: the file is read chunk by chunk, never whole.
TEST_P(HugeFileTest, HugeFileUnderAMemoryLimitIsReadChunkByChunk) {
  if (kSanitized) GTEST_SKIP() << "the sanitizer cannot run under an address space limit";
  const fs::path file = Work() / "huge.flc";
  {
    std::vector<std::uint8_t> head = fw::Serialize(SmallAnimation(8, 8, 2));
    head[0] = head[1] = head[2] = 0xFF;
    head[3] = 0xFF;
    fw::WriteFile(file, head);
  }
  fs::resize_file(file, (std::uintmax_t{1} << 32) - 1);
  std::vector<std::string> args{"sh", "-c", "ulimit -v 1000000; exec \"$@\"", "sh", TOVASEL_CLI, GetParam(),
                                file.string()};
  if (std::string(GetParam()) == "frames") args.insert(args.end(), {"-o", "out"});
  if (std::string(GetParam()) == "convert") args.insert(args.end(), {"-q", "-o", "out.gif"});
  if (std::string(GetParam()) == "thumbnail") args.push_back("out.png");
  const TRun r = RunProgram(args, Work());
  ASSERT_EQ(r.Signal, 0) << "ended by a signal";
  EXPECT_EQ(r.Exit, 0) << r.Err;
  EXPECT_EQ(r.Err, "");
}

INSTANTIATE_TEST_SUITE_P(Commands, HugeFileTest, ::testing::Values("info", "frames", "convert", "thumbnail"));

struct TSameFileCase {
  const char* Name;
  // Returns the arguments after "convert"; the input is work/in.flc.
  std::function<std::vector<std::string>(const fs::path& work)> Args;
};

class SameFileTest : public CliHostileTest, public ::testing::WithParamInterface<TSameFileCase> {};

TEST_P(SameFileTest, OutputThatIsTheInputIsRefusedAndTheInputKept) {
  const fs::path input = WriteFlic(SmallAnimation(6, 5, 3), "in.flc");
  const std::string before = ReadText(input);
  std::vector<std::string> args{"convert"};
  const auto rest = GetParam().Args(Work());
  args.insert(args.end(), rest.begin(), rest.end());
  const TRun r = Run(args);
  // A usage error, found before anything is written.
  EXPECT_EQ(r.Exit, 2);
  EXPECT_TRUE(r.Err.starts_with("tovasel-cli: Output file ")) << r.Err;
  EXPECT_NE(r.Err.find(" is the FLIC file "), std::string::npos) << r.Err;
  for (const auto& e : fs::directory_iterator(Work())) {
    if (fs::is_regular_file(e.path())) {
      EXPECT_EQ(ReadText(e.path()), before) << e.path();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SameFileTest,
    ::testing::Values(
        TSameFileCase{"SamePath",
                      [](const fs::path& w) {
                        return std::vector<std::string>{(w / "in.flc").string(), "-o", (w / "in.flc").string()};
                      }},
        TSameFileCase{"OtherSpelling",
                      [](const fs::path& w) {
                        return std::vector<std::string>{(w / "in.flc").string(), "-o",
                                                        (w / "." / "in.flc").string()};
                      }},
        TSameFileCase{"SymbolicLink",
                      [](const fs::path& w) {
                        fs::create_symlink(w / "in.flc", w / "link.gif");
                        return std::vector<std::string>{(w / "in.flc").string(), "-o", (w / "link.gif").string()};
                      }},
        TSameFileCase{"HardLink",
                      [](const fs::path& w) {
                        fs::create_hard_link(w / "in.flc", w / "hard.gif");
                        return std::vector<std::string>{(w / "in.flc").string(), "-o", (w / "hard.gif").string()};
                      }},
        TSameFileCase{"DefaultOutputOfAFileNamedGif",
                      [](const fs::path& w) {
                        fs::rename(w / "in.flc", w / "movie.gif");
                        return std::vector<std::string>{(w / "movie.gif").string()};
                      }},
        // x.flc's GIF is x.gif, itself a FLIC converted after it: it would
        // be gone before its turn.
        TSameFileCase{"OutputThatIsALaterInput",
                      [](const fs::path& w) {
                        fs::copy_file(w / "in.flc", w / "x.flc");
                        fs::copy_file(w / "in.flc", w / "x.gif");
                        return std::vector<std::string>{(w / "x.flc").string(), (w / "x.gif").string()};
                      }},
        TSameFileCase{"OutputThatIsAnEarlierInputLinked",
                      [](const fs::path& w) {
                        fs::copy_file(w / "in.flc", w / "b.flc");
                        fs::create_symlink(w / "in.flc", w / "b.gif");
                        return std::vector<std::string>{(w / "in.flc").string(), (w / "b.flc").string()};
                      }}),
    [](const auto& info) { return std::string(info.param.Name); });

class SameFileBatchTest : public CliHostileTest, public ::testing::WithParamInterface<const char*> {};

// The batch writes x.gif beside x.flc; a x.gif that links to x.flc must
// not let it replace the FLIC.
TEST_P(SameFileBatchTest, BatchRefusesAGifThatLinksToItsFlc) {
  const fs::path input = WriteFlic(SmallAnimation(6, 5, 3), "x.flc");
  const std::string before = ReadText(input);
  fs::create_symlink(input, Work() / "x.gif");
  const TRun r = Run({"batch", Work().string(), "--jobs", GetParam()});
  EXPECT_EQ(r.Exit, 1);
  EXPECT_NE(r.Err.find(" is the FLIC file "), std::string::npos) << r.Err;
  EXPECT_EQ(ReadText(input), before);
}

INSTANTIATE_TEST_SUITE_P(Jobs, SameFileBatchTest, ::testing::Values("1", "2"));

struct TFullDiskCase {
  const char* Name;
  const char* Format;
  int FailingFrame;  // the first picture larger than the limit
};

class FullDiskTest : public CliHostileTest, public ::testing::WithParamInterface<TFullDiskCase> {};

// A file size limit of 4 KiB (ulimit -f, with SIGXFSZ ignored so that the
// write fails instead of ending the process) stands in for a full disk: the
// flat frames fit as PNG, the noisy one and any PPM of 100 x 100 do not.
// Every picture left is whole, the one that failed keeps what was there
// before, and no temporary file stays.
TEST_P(FullDiskTest, PicturesLeftAreWholeAndNoTemporaryFileStays) {
  std::vector<fw::TAnimationFrame> list;
  fw::TColours colours{};
  for (int i = 0; i < 256; ++i) colours[i] = fw::TRgb{static_cast<std::uint8_t>(i), 0, static_cast<std::uint8_t>(255 - i)};
  for (int f = 0; f < 3; ++f) {
    fw::TIndexedPicture p(100, 100, 7);
    std::uint32_t noise = 12345;
    if (f == 1) {
      for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) p.At(x, y) = static_cast<std::uint8_t>((noise = noise * 1103515245u + 12345u) >> 24);
    }
    list.push_back(fw::TAnimationFrame{p, colours, fw::TEncoding::enByteRun});
  }
  const fs::path file = WriteFlic(fw::BuildAnimation(list, {}), "noisy.flc");
  const std::string format = GetParam().Format;
  const fs::path out = Work() / "out";
  fs::create_directories(out);
  char failing[16];
  std::snprintf(failing, sizeof failing, "%04d.%s", GetParam().FailingFrame, format.c_str());
  { std::ofstream(out / failing) << "old"; }

  const TRun r = RunProgram({"bash", "-c", "trap '' XFSZ; ulimit -f 4; exec \"$@\"", "bash", TOVASEL_CLI, "frames",
                             file.string(), "-o", out.string(), "--format", format},
                            Work());
  ASSERT_EQ(r.Signal, 0);
  EXPECT_EQ(r.Exit, 1);
  EXPECT_EQ(r.Err, "tovasel-cli: Cannot write file " + (out / failing).string() + "\n");
  EXPECT_EQ(ReadText(out / failing), "old");
  EXPECT_EQ(TempFilesLeft(), 0);
  int pictures = 0;
  for (const auto& entry : fs::directory_iterator(out)) {
    if (entry.path().filename() == failing) continue;
    ++pictures;
    EXPECT_EQ(ReadPng(entry.path()).Error, "") << entry.path();
  }
  EXPECT_EQ(pictures, GetParam().FailingFrame - 1);
}

INSTANTIATE_TEST_SUITE_P(Formats, FullDiskTest,
                         ::testing::Values(TFullDiskCase{"PngAfterOnePicture", "png", 2},
                                           TFullDiskCase{"PpmAtTheFirstPicture", "ppm", 1}),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TSignalCase {
  int Signal;
  const char* Command;
};

class SignalTest : public CliHostileTest, public ::testing::WithParamInterface<TSignalCase> {};

// Sends the signal once the GIF's temporary file exists, so that the tool
// is caught writing; it must remove the file and end by that signal.
TEST_P(SignalTest, SignalDuringWritingLeavesNoTemporaryFile) {
  const fs::path input = WriteFlic(SmallAnimation(320, 200, 40), "big.flc");
  { std::ofstream(Work() / "big.gif") << "old"; }
  std::vector<std::string> args{GetParam().Command};
  if (std::string(GetParam().Command) == "convert") {
    args.push_back(input.string());
  } else {
    args.insert(args.end(), {Work().string(), "--jobs", "2"});
  }
  args.push_back("--exact-colours");
  args.insert(args.begin(), TOVASEL_CLI);
  const pid_t pid = StartProgram(args, dir_);
  ASSERT_GT(pid, 0);
  bool caught = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!caught && std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      GTEST_SKIP() << "the tool ended before the temporary file was seen";
    }
    caught = TempFilesLeft() > 0;
    if (!caught) std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  ASSERT_TRUE(caught);
  ::kill(pid, GetParam().Signal);
  const TRun r = FinishProgram(pid, dir_);
  EXPECT_EQ(r.Signal, GetParam().Signal) << "exit " << r.Exit << ": " << r.Err;
  EXPECT_EQ(TempFilesLeft(), 0);
  EXPECT_EQ(ReadText(Work() / "big.gif"), "old");
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalTest,
                         ::testing::Values(TSignalCase{SIGINT, "convert"}, TSignalCase{SIGTERM, "convert"},
                                           TSignalCase{SIGHUP, "convert"}, TSignalCase{SIGINT, "batch"}),
                         [](const auto& info) {
                           return std::string(info.param.Command) + "_" + std::to_string(info.param.Signal);
                         });

}  // namespace
}  // namespace tovasel::testing
