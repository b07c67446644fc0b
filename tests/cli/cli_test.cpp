#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/conversion_session.h"
#include "support/giflib_reader.h"
#include "support/program_run.h"

namespace fs = std::filesystem;

namespace tovasel {
namespace {

using testing::MovingBlocks;
using testing::ReadBytes;
using testing::RecordingView;
using testing::TempFolder;
using testing::RunProgram;
using testing::TRun;
using testing::TRunStreams;

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

TRun RunCli(const std::vector<std::string>& args, const TempFolder& scratch, const TRunStreams& streams = {}) {
  return testing::RunCli(args, scratch.path(), streams);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct ConvertCase {
  const char* name;
  std::vector<std::string> flags;
};

class CliConvertTest : public ::testing::TestWithParam<ConvertCase> {};

// The command line writes the bytes the window's Convert writes with the
// same boxes ticked and the same limit text.
TEST_P(CliConvertTest, WritesWhatTheSessionWrites) {
  TempFolder folder("cli");
  testing::WriteAnimation(folder / "walk.flc", MovingBlocks(21, 13, 5, 9));
  std::vector<std::string> args = {"convert", folder / "walk.flc", "-o", folder / "cli.gif"};
  args.insert(args.end(), GetParam().flags.begin(), GetParam().flags.end());
  const TRun r = RunCli(args, folder);
  ASSERT_EQ(r.Exit, 0) << r.Err;

  RecordingView view;
  for (std::size_t i = 0; i < GetParam().flags.size(); ++i) {
    const std::string& f = GetParam().flags[i];
    if (f == "--transparent") view.options.Transparent = true;
    if (f == "--palette") view.options.Palette = true;
    if (f == "--merge") view.options.Merge = true;
    if (f == "--crop") view.options.Crop = true;
    if (f == "--exact-colours") view.options.ExactColours = true;
    if (f == "--exact-timing") view.options.ExactTiming = true;
    if (f == "--optimize") view.options.Optimize = 1;
    if (f == "--optimize=2") view.options.Optimize = 2;
    if (f == "--limit") {
      view.options.LimitOn = true;
      view.options.LimitText = GetParam().flags[++i];
    }
  }
  TConversionSession session(view);
  session.OpenFlicFile(folder / "walk.flc");
  session.ConvertToGif(folder / "session.gif");
  EXPECT_EQ(ReadBytes(folder / "cli.gif"), ReadBytes(folder / "session.gif"));
}

INSTANTIATE_TEST_SUITE_P(
    Options, CliConvertTest,
    ::testing::Values(ConvertCase{"None", {}},
                      ConvertCase{"All", {"--transparent", "--palette", "--merge", "--crop"}},
                      ConvertCase{"Limit", {"--limit", "2", "--merge"}},
                      ConvertCase{"LimitWithSpaces", {"--limit", " 3"}},
                      ConvertCase{"ExactColours", {"--exact-colours", "--palette"}},
                      ConvertCase{"ExactTiming", {"--exact-timing"}},
                      ConvertCase{"Optimize", {"--optimize", "--transparent"}},
                      ConvertCase{"Optimize2", {"--optimize=2", "--limit", "3", "--exact-timing"}}),
    [](const auto& info) { return info.param.name; });

TEST(CliConvertTest, ExactColoursKeepTheFlicColours) {
  TempFolder folder("cli-exact");
  const auto frames = MovingBlocks(21, 13, 3, 4);
  testing::WriteAnimation(folder / "walk.flc", frames);
  ASSERT_EQ(RunCli({"convert", folder / "walk.flc", "--exact-colours"}, folder).Exit, 0);
  const auto gif = testing::PlayGif(folder / "walk.gif");
  ASSERT_EQ(gif.error, 0);
  ASSERT_EQ(gif.frames.size(), 3u);
  // GIF frame 0 is FLIC frame 2.
  const auto& source = frames[1];
  for (int y = 0; y < 13; ++y) {
    for (int x = 0; x < 21; ++x) {
      const auto& c = source.Colours[source.Picture.At(x, y)];
      ASSERT_EQ(gif.frames[0].canvas[static_cast<std::size_t>(y) * 21 + x],
                (c.Red << 16) | (c.Green << 8) | c.Blue);
    }
  }
}

TEST(CliConvertTest, ExactTimingFollowsTheFileType) {
  TempFolder folder("cli-timing");
  flicwriter::TAnimationOptions fli;
  fli.Speed = 5;
  fli.FliDeltas = fli.Colour64 = true;
  auto layout = flicwriter::BuildAnimation(MovingBlocks(8, 8, 8, 2), fli);
  layout.Magic = 0xAF11;
  flicwriter::WriteFile(folder / "old.fli", flicwriter::Serialize(layout));
  ASSERT_EQ(RunCli({"convert", folder / "old.fli", "--exact-timing"}, folder).Exit, 0);
  const auto gif = testing::PlayGif(folder / "old.gif");
  ASSERT_EQ(gif.frames.size(), 8u);
  std::vector<int> delays;
  for (const auto& f : gif.frames) delays.push_back(f.delay);
  // 5 ticks of 1/70 s are 50/7 hundredths; the rounded running total never drifts.
  EXPECT_EQ(delays, (std::vector<int>{7, 7, 7, 8, 7, 7, 7, 7}));
}

struct ErrorCase {
  const char* name;
  std::vector<std::string> args;  // "%d" stands for the scratch folder
  int exitCode;
  const char* error;  // expected standard error line, "" to skip
};

class CliErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(CliErrorTest, ReportsOneLineAndLeavesExistingOutputAlone) {
  TempFolder folder("cli-error");
  testing::WriteAnimation(folder / "walk.flc", MovingBlocks(9, 7, 3, 1));
  auto empty = flicwriter::BuildAnimation(MovingBlocks(9, 7, 2, 1), {});
  empty.FrameCountOverride = 0;
  flicwriter::WriteFile(folder / "empty.flc", flicwriter::Serialize(empty));
  { std::ofstream(folder / "walk.gif") << "keep"; }
  std::vector<std::string> args;
  for (std::string a : GetParam().args) {
    if (const auto at = a.find("%d"); at != std::string::npos) a.replace(at, 2, folder.path().string());
    args.push_back(a);
  }
  const TRun r = RunCli(args, folder);
  EXPECT_EQ(r.Exit, GetParam().exitCode);
  std::string expected = GetParam().error;
  if (const auto at = expected.find("%d"); at != std::string::npos) expected.replace(at, 2, folder.path().string());
  if (!expected.empty()) {
    EXPECT_EQ(r.Err, expected + "\n");
  }
  EXPECT_EQ(ReadBytes(folder / "walk.gif"), std::vector<char>({'k', 'e', 'e', 'p'}));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, CliErrorTest,
    ::testing::Values(
        ErrorCase{"BadLimit", {"convert", "%d/walk.flc", "--limit", "abc"}, 1,
                  "tovasel-cli: 'abc' is not a valid integer value."},
        ErrorCase{"NoFrames", {"convert", "%d/walk.flc", "--limit", "-1"}, 1,
                  "tovasel-cli: Unsupported GIF version."},
        // The command line's texts are the window's, progress bar included.
        ErrorCase{"LimitBelowRange", {"convert", "%d/walk.flc", "--limit", "-2"}, 1,
                  "tovasel-cli: QProgressBar property out of range."},
        ErrorCase{"LimitBelowRangeInDocument", {"convert", "%d/walk.flc", "--limit", "-2", "--merge"}, 1,
                  "tovasel-cli: QProgressBar property out of range."},
        ErrorCase{"LimitBelowRangeOptimized", {"convert", "%d/walk.flc", "--limit", "-2", "--optimize"}, 1,
                  "tovasel-cli: QProgressBar property out of range."},
        ErrorCase{"MissingFile", {"convert", "%d/none.flc", "-o", "%d/walk.gif"}, 1,
                  "tovasel-cli: Cannot open FLIC file %d/none.flc: no such file."},
        ErrorCase{"OutputFolderMissing", {"convert", "%d/walk.flc", "-o", "%d/no/such/x.gif"}, 1,
                  "tovasel-cli: Cannot create file %d/no/such/x.gif."},
        ErrorCase{"NoFramesWithLimit", {"convert", "%d/empty.flc", "--limit", "0", "-o", "%d/walk.gif"}, 1,
                  "tovasel-cli: FLIC file %d/empty.flc has no frames to convert."},
        ErrorCase{"NoFramesTransparent",
                  {"convert", "%d/empty.flc", "--limit", "2", "--transparent", "-o", "%d/walk.gif"}, 1,
                  "tovasel-cli: FLIC file %d/empty.flc has no frames to convert."},
        ErrorCase{"OptimizeOfNoFrames", {"convert", "%d/empty.flc", "--optimize", "-o", "%d/walk.gif"}, 1,
                  "tovasel-cli: FLIC file %d/empty.flc has no frames to convert."},
        ErrorCase{"BatchOfMissingFolder", {"batch", "%d/nowhere"}, 1,
                  "tovasel-cli: Cannot read folder %d/nowhere: No such file or directory."},
        ErrorCase{"BatchOfFile", {"batch", "%d/walk.flc"}, 1,
                  "tovasel-cli: Cannot read folder %d/walk.flc: Not a directory."},
        // Usage errors carry the tool's name like every other error.
        ErrorCase{"UnknownOption", {"convert", "%d/walk.flc", "--bogus"}, 2,
                  "tovasel-cli: The following argument was not expected: --bogus\n"
                  "Run with --help for more information."},
        ErrorCase{"NoSubcommand", {}, 2,
                  "tovasel-cli: A subcommand is required\nRun with --help for more information."},
        ErrorCase{"MissingFileArgument", {"convert"}, 2,
                  "tovasel-cli: FILE is required\nRun with --help for more information."},
        ErrorCase{"BadJobs", {"batch", "%d", "--jobs", "0"}, 2, ""},
        ErrorCase{"OptimizeWithPalette", {"convert", "%d/walk.flc", "--optimize", "--palette"}, 2, ""},
        ErrorCase{"OptimizeWithMerge", {"convert", "%d/walk.flc", "--merge", "--optimize=2"}, 2, ""},
        ErrorCase{"OptimizeWithCrop", {"batch", "%d", "--crop", "--optimize", "--jobs", "2"}, 2, ""},
        ErrorCase{"OptimizeNoFrames", {"convert", "%d/walk.flc", "--limit", "-1", "--optimize"}, 1,
                  "tovasel-cli: Unsupported GIF version."},
        ErrorCase{"OptimizeLevel3", {"convert", "%d/walk.flc", "--optimize=3"}, 2, ""},
        ErrorCase{"OutputWithSeveralFiles", {"convert", "%d/walk.flc", "%d/empty.flc", "-o", "%d/walk.gif"}, 2,
                  "tovasel-cli: --output names the GIF of one FILE only; without it each FILE gets its own\n"
                  "Run with --help for more information."},
        // A mistyped option never becomes the name of a file written.
        ErrorCase{"OutputLooksLikeOption", {"convert", "%d/walk.flc", "-o", "-x"}, 2,
                  "tovasel-cli: --output: -x looks like an option, not a name to write\n"
                  "Run with --help for more information."},
        ErrorCase{"OutputIsDoubleDash", {"convert", "%d/walk.flc", "--output=--"}, 2,
                  "tovasel-cli: --output: -- looks like an option, not a name to write\n"
                  "Run with --help for more information."},
        ErrorCase{"FramesFolderLooksLikeOption", {"frames", "%d/walk.flc", "-o", "-d"}, 2,
                  "tovasel-cli: --output: -d looks like an option, not a name to write\n"
                  "Run with --help for more information."},
        ErrorCase{"ThumbnailAfterDoubleDash", {"thumbnail", "%d/walk.flc", "--", "-t.png"}, 2,
                  "tovasel-cli: OUT: -t.png looks like an option, not a name to write\n"
                  "Run with --help for more information."},
        ErrorCase{"ThumbnailToStandardOutput", {"thumbnail", "%d/walk.flc", "-"}, 2,
                  "tovasel-cli: OUT: - is not a name to write\n"
                  "Run with --help for more information."},
        ErrorCase{"StandardInputWithOtherFiles", {"convert", "-", "%d/walk.flc"}, 2,
                  "tovasel-cli: - (standard input) must be the only FILE\n"
                  "Run with --help for more information."}),
    [](const auto& info) { return info.param.name; });

struct BatchOptionsCase {
  const char* name;
  std::vector<std::string> flags;
};

class CliBatchBytesTest : public ::testing::TestWithParam<BatchOptionsCase> {};

// Both batches pass the command line's options on as convert does: they
// write, byte for byte, what convert writes for each file, and log the same
// lines.
TEST_P(CliBatchBytesTest, BothBatchesWriteWhatConvertWrites) {
  TempFolder folder("cli-batch-bytes");
  fs::create_directories(folder.path() / "sub");
  const std::vector<std::string> names{"a", "sub/b", "sub/c"};
  testing::WriteAnimation(folder / "a.flc", MovingBlocks(9, 7, 4, 1));
  testing::WriteAnimation(folder / "sub/b.flc", MovingBlocks(1, 1, 3, 2), {.FliDeltas = true});
  testing::WriteAnimation(folder / "sub/c.flc", MovingBlocks(13, 4, 6, 3), {.RingFrame = false, .Speed = 33});
  const auto withFlags = [](std::vector<std::string> args) {
    args.insert(args.end(), GetParam().flags.begin(), GetParam().flags.end());
    return args;
  };
  for (const std::string& name : names) {
    const TRun r = RunCli(withFlags({"convert", folder / (name + ".flc"), "-o", folder / (name + ".one")}), folder);
    ASSERT_EQ(r.Exit, 0) << r.Err;
  }
  std::string serialLog;
  for (const char* jobs : {"1", "2"}) {
    const TRun r = RunCli(withFlags({"batch", folder.path().string(), "--jobs", jobs}), folder);
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_EQ(r.Err, "");
    EXPECT_EQ(Lines(r.Out).size(), 6u) << r.Out;
    if (serialLog.empty()) serialLog = r.Out;
    EXPECT_EQ(r.Out, serialLog);
    for (const std::string& name : names) {
      EXPECT_EQ(ReadBytes(folder / (name + ".gif")), ReadBytes(folder / (name + ".one"))) << name << " jobs " << jobs;
      fs::remove(folder / (name + ".gif"));
    }
    // Nothing is left of the GIFs waiting for their turn.
    for (const auto& entry : fs::recursive_directory_iterator(folder.path())) {
      EXPECT_FALSE(entry.path().filename().string().starts_with(".tovasel-")) << entry.path();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Options, CliBatchBytesTest,
    ::testing::Values(BatchOptionsCase{"NoOption", {}},
                      BatchOptionsCase{"LimitBelowLastFrame", {"--limit", "1", "--transparent"}},
                      BatchOptionsCase{"Exact", {"--transparent", "--exact-colours", "--exact-timing", "--limit", "7"}},
                      BatchOptionsCase{"PaletteMergeCrop", {"--palette", "--merge", "--crop"}},
                      BatchOptionsCase{"Smallest", {"--optimize=2"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CliBatchTest, LogGoesToStandardOutputLikeTheWindowsLog) {
  TempFolder folder("cli-batch");
  fs::create_directories(folder.path() / "sub");
  testing::WriteAnimation(folder / "sub/a.flc", MovingBlocks(9, 7, 3, 1));
  testing::WriteAnimation(folder / "b.FLC", MovingBlocks(9, 7, 3, 2));
  for (const char* jobs : {"1", "2"}) {
    const TRun r = RunCli({"batch", folder.path().string(), "--jobs", jobs}, folder);
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_EQ(Lines(r.Out),
              (std::vector<std::string>{folder.path().string() + " selectionné", "Recherche en cours",
                                        "2 fichiers trouvés", "Traitement de " + (folder / "b.FLC"),
                                        "Traitement de " + (folder / "sub/a.flc")}));
    EXPECT_TRUE(fs::exists(folder / "b.gif"));
    EXPECT_TRUE(fs::exists(folder / "sub/a.gif"));
  }
}

struct WroteCase {
  const char* name;
  std::vector<std::string> flags;
  const char* said;  // after "Wrote <path>"
};

class CliWroteTest : public ::testing::TestWithParam<WroteCase> {};

// The closing line counts the GIF frames written, not the FLIC's frames.
TEST_P(CliWroteTest, CountsTheGifFramesWritten) {
  TempFolder folder("cli-wrote");
  testing::WriteAnimation(folder / "walk.flc", MovingBlocks(9, 7, 4, 1));
  std::vector<std::string> args = {"convert", folder / "walk.flc"};
  args.insert(args.end(), GetParam().flags.begin(), GetParam().flags.end());
  const TRun r = RunCli(args, folder);
  ASSERT_EQ(r.Exit, 0) << r.Err;
  EXPECT_EQ(r.Out, "Wrote " + (folder / "walk.gif") + GetParam().said + "\n");
}

INSTANTIATE_TEST_SUITE_P(Limits, CliWroteTest,
                         ::testing::Values(WroteCase{"NoLimit", {}, " with 4 GIF frames"},
                                           WroteCase{"LimitZero", {"--limit", "0"}, " with 1 GIF frame"},
                                           WroteCase{"LimitPastTheEnd", {"--limit", "6"}, " with 7 GIF frames"},
                                           // Repeated pictures become one frame.
                                           WroteCase{"OptimizeMergesRepeats", {"--limit", "6", "--optimize"},
                                                     " with 4 GIF frames"}),
                         [](const auto& info) { return info.param.name; });

class CliFullOutputTest : public ::testing::TestWithParam<std::vector<std::string>> {};

// Output that cannot be written is an error, not a quiet success.
TEST_P(CliFullOutputTest, FailedWriteToStandardOutputIsAnError) {
  TempFolder folder("cli-full");
  testing::WriteAnimation(folder / "walk.flc", MovingBlocks(9, 7, 3, 1));
  std::vector<std::string> args = GetParam();
  for (auto& a : args) {
    if (a == "%d") a = folder.path().string();
    if (a == "%f") a = folder / "walk.flc";
  }
  const TRun r = RunCli(args, folder, {"", "/dev/full", ""});
  EXPECT_EQ(r.Exit, 1);
  EXPECT_EQ(r.Err, "tovasel-cli: Cannot write to standard output: No space left on device.\n");
}

INSTANTIATE_TEST_SUITE_P(Commands, CliFullOutputTest,
                         ::testing::Values(std::vector<std::string>{"info", "%f"},
                                           std::vector<std::string>{"convert", "%f"},
                                           std::vector<std::string>{"batch", "%d"}),
                         [](const auto& info) { return info.param[0]; });

TEST(CliBatchTest, KeepGoingConvertsTheRestAndFailsAtTheEnd) {
  TempFolder folder("cli-keep-going");
  fs::create_directories(folder.path() / "sub");
  testing::WriteAnimation(folder / "a.flc", MovingBlocks(9, 7, 3, 1));
  testing::WriteAnimation(folder / "sub/z.flc", MovingBlocks(9, 7, 2, 2));
  std::ofstream(folder / "sub/bad.flc") << "not a FLIC file";
  for (const char* jobs : {"1", "2"}) {
    fs::remove(folder / "a.gif");
    fs::remove(folder / "sub/z.gif");
    // Without the flag the first failure ends the batch, as in the window.
    const TRun stops = RunCli({"batch", folder.path().string(), "--jobs", jobs}, folder);
    EXPECT_EQ(stops.Exit, 1);
    EXPECT_EQ(stops.Err, "tovasel-cli: Cannot open FLIC file " + (folder / "sub/bad.flc") + ": not a FLIC file (shorter than the 128-byte header)\n");

    const TRun r = RunCli({"batch", folder.path().string(), "--keep-going", "--jobs", jobs}, folder);
    EXPECT_EQ(r.Exit, 1);
    EXPECT_EQ(r.Err, "tovasel-cli: Cannot open FLIC file " + (folder / "sub/bad.flc") + ": not a FLIC file (shorter than the 128-byte header)\n"
                     "tovasel-cli: 1 file could not be converted.\n");
    EXPECT_TRUE(fs::exists(folder / "a.gif"));
    EXPECT_TRUE(fs::exists(folder / "sub/z.gif"));
    EXPECT_EQ(Lines(r.Out).size(), 6u);
  }
}

TEST(CliBatchTest, FolderTheSystemRefusesIsNamedOnStandardError) {
  TempFolder folder("cli-deep");
  testing::WriteAnimation(folder / "a.flc", MovingBlocks(9, 7, 3, 1));
  fs::create_directories(folder.path() / "deep");
  testing::TooDeepFolder deep(folder.path() / "deep", 24);
  ASSERT_TRUE(deep.Made());
  const TRun r = RunCli({"batch", folder.path().string()}, folder);
  EXPECT_EQ(r.Exit, 0);
  const std::string start = "tovasel-cli: Cannot read folder " + (folder / "deep") + "/" +
                            testing::TooDeepFolder::kName;
  EXPECT_EQ(r.Err.rfind(start, 0), 0u) << r.Err;
  EXPECT_NE(r.Err.find("(File name too long), skipped\n"), std::string::npos) << r.Err;
  EXPECT_EQ(Lines(r.Err).size(), 1u);
  EXPECT_TRUE(fs::exists(folder / "a.gif"));
}

TEST(CliBatchTest, RelativeFolderIsMadeAbsolute) {
  TempFolder folder("cli-rel");
  const TRun r = RunCli({"batch", "."}, folder);
  ASSERT_EQ(r.Exit, 0);
  const auto lines = Lines(r.Out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].front(), '/');
  EXPECT_EQ(lines.back(), "Pas de fichiers trouvés");
}

struct HelpCase {
  const char* Name;
  std::vector<std::string> Args;
  std::vector<std::string> Shows;  // texts the help holds
};

class CliHelpTest : public ::testing::TestWithParam<HelpCase> {};

// Runs of spaces and line breaks as one space: descriptions wrap anywhere.
std::string OneLine(const std::string& text) {
  std::string line;
  for (const char c : text) {
    const bool space = c == ' ' || c == '\n';
    if (!space || line.empty() || line.back() != ' ') line += space ? ' ' : c;
  }
  return line;
}

// The help reads as a person would write it: values named, no CLI11
// notation ("{1}", "INT:INT in [1 - 256]", "Excludes:", "REQUIRED"), lines
// that fit 80 columns.
TEST_P(CliHelpTest, HelpReadsAsWritten) {
  TempFolder folder("cli-help");
  const TRun r = RunCli(GetParam().Args, folder);
  EXPECT_EQ(r.Exit, 0);
  for (const std::string& text : GetParam().Shows) {
    EXPECT_NE(OneLine(r.Out).find(OneLine(text)), std::string::npos) << text << "\n" << r.Out;
  }
  for (const char* notation : {"{", "Excludes", "REQUIRED", "INT", "TEXT", " in ["}) {
    EXPECT_EQ(r.Out.find(notation), std::string::npos) << notation << "\n" << r.Out;
  }
  for (const std::string& line : Lines(r.Out)) EXPECT_LE(line.size(), 80u) << line;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliHelpTest,
    ::testing::Values(
        HelpCase{"Tool", {"--help"}, {"info", "frames", "convert", "batch", "thumbnail"}},
        HelpCase{"Convert",
                 {"convert", "--help"},
                 {"Usage: tovasel-cli convert [OPTIONS] FILE...\n", "  --optimize[=LEVEL] ", "LEVEL 1 (default) or 2",
                  "cannot be combined with --palette, --merge or --crop", "  --limit N ", "  -o,--output OUT "}},
        // One sentence: the --jobs warning of other bytes has gone with the
        // other bytes.
        HelpCase{"Batch",
                 {"batch", "--help"},
                 {"Convert every .flc file below DIR into a GIF file beside it\nUsage:", "  --jobs N "}},
        HelpCase{"Frames",
                 {"frames", "--help"},
                 {"Usage: tovasel-cli frames [OPTIONS] FILE -o DIR\n", "  --format FORMAT ", "png (the default"}},
        HelpCase{"Thumbnail", {"thumbnail", "--help"}, {"Usage: tovasel-cli thumbnail [OPTIONS] FILE OUT\n", "  -s,--size SIZE "}}),
    [](const auto& info) { return std::string(info.param.Name); });

// Runs the tool under `script`, which gives it a terminal for its three
// streams; the result holds everything the terminal showed.
TRun RunInTerminal(const std::vector<std::string>& args, const TempFolder& scratch) {
  std::string inner = Quote(TOVASEL_CLI);
  for (const auto& a : args) inner += " " + Quote(a);
  TRun r = RunProgram({"script", "-qec", inner, "/dev/null"}, scratch.path(), {"/dev/null", "", ""});
  r.Out += r.Err;
  return r;
}

bool HaveScript() { return std::system("script --version >/dev/null 2>&1") == 0; }

struct TerminalCase {
  const char* name;
  std::vector<std::string> args;  // "%d" stands for the scratch folder
  int exitCode;
  const char* line;  // the text that must start a line of its own
  bool progress;     // whether a progress bar is drawn
};

class CliTerminalTest : public ::testing::TestWithParam<TerminalCase> {};

// The progress bar ends its line before the next line starts, whether that
// is the closing line or an error; a quiet run draws no bar.
TEST_P(CliTerminalTest, ProgressBarEndsItsLineFirst) {
  if (!HaveScript()) GTEST_SKIP() << "script is not installed";
  TempFolder folder("cli-tty");
  testing::WriteAnimation(folder / "walk.flc", MovingBlocks(9, 7, 5, 1));
  std::vector<std::string> args;
  for (std::string a : GetParam().args) {
    if (const auto at = a.find("%d"); at != std::string::npos) a.replace(at, 2, folder.path().string());
    args.push_back(a);
  }
  const TRun r = RunInTerminal(args, folder);
  EXPECT_EQ(r.Exit, GetParam().exitCode) << r.Out;
  const auto at = r.Out.find(GetParam().line);
  ASSERT_NE(at, std::string::npos) << r.Out;
  EXPECT_TRUE(at == 0 || r.Out[at - 1] == '\n') << r.Out;
  EXPECT_EQ(r.Out.find("% frame ") != std::string::npos, GetParam().progress) << r.Out;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CliTerminalTest,
    ::testing::Values(TerminalCase{"Wrote", {"convert", "walk.flc"}, 0, "Wrote walk.gif with 5 GIF frames", true},
                      TerminalCase{"Error", {"convert", "walk.flc", "-o", "no/such/x.gif"}, 1,
                                   "tovasel-cli: Cannot create file no/such/x.gif.", true},
                      TerminalCase{"QuietError", {"convert", "-q", "walk.flc", "-o", "no/x.gif"}, 1,
                                   "tovasel-cli: Cannot create file no/x.gif.", false},
                      TerminalCase{"GifToTerminal", {"convert", "walk.flc", "-o", "-"}, 2,
                                   "tovasel-cli: Standard output is a terminal", false},
                      TerminalCase{"StandardInputToTerminal", {"convert", "-"}, 2,
                                   "tovasel-cli: Standard output is a terminal", false}),
    [](const auto& info) { return info.param.name; });

struct StreamCase {
  const char* name;
  std::vector<std::string> args;  // "%d" stands for the scratch folder
  bool stdinFromFlic;             // standard input is the FLIC file
  bool gifOnStdout;               // the GIF arrives on standard output
  const char* out;                // standard output otherwise
};

class CliStreamTest : public ::testing::TestWithParam<StreamCase> {};

// "-" stands for standard input as FILE and for standard output as -o: the
// GIF is the one written from and to named files, and no temporary file
// is left behind.
TEST_P(CliStreamTest, WritesWhatNamedFilesGive) {
  TempFolder folder("cli-stream");
  testing::WriteAnimation(folder / "walk.flc", MovingBlocks(11, 7, 4, 3));
  ASSERT_EQ(RunCli({"convert", "walk.flc", "-o", "named.gif"}, folder).Exit, 0);
  fs::create_directories(folder.path() / "tmp");
  std::vector<std::string> args;
  for (std::string a : GetParam().args) {
    if (const auto at = a.find("%d"); at != std::string::npos) a.replace(at, 2, folder.path().string());
    args.push_back(a);
  }
  const std::string stdoutFile = GetParam().gifOnStdout ? folder / "stdout.gif" : "";
  const TRun r = RunCli(
      args, folder, {GetParam().stdinFromFlic ? folder / "walk.flc" : "", stdoutFile, folder / "tmp"});
  ASSERT_EQ(r.Exit, 0) << r.Err;
  EXPECT_EQ(r.Err, "");
  const std::string gif = GetParam().gifOnStdout ? "stdout.gif" : "out.gif";
  EXPECT_EQ(ReadBytes(folder / gif), ReadBytes(folder / "named.gif"));
  EXPECT_EQ(r.Out, GetParam().out);
  EXPECT_TRUE(fs::is_empty(folder.path() / "tmp"));
}

INSTANTIATE_TEST_SUITE_P(
    Dash, CliStreamTest,
    ::testing::Values(StreamCase{"FromStandardInput", {"convert", "-", "-o", "out.gif"}, true, false,
                                 "Wrote out.gif with 4 GIF frames\n"},
                      StreamCase{"ToStandardOutput", {"convert", "walk.flc", "-o", "-"}, false, true, ""},
                      StreamCase{"ToStandardOutputQuiet", {"convert", "%d/walk.flc", "--output", "-", "-q"}, false,
                                 true, ""},
                      StreamCase{"Through", {"convert", "-"}, true, true, ""},
                      StreamCase{"ThroughExplicit", {"convert", "-", "-o", "-"}, true, true, ""}),
    [](const auto& info) { return info.param.name; });

struct BadStreamCase {
  const char* name;
  std::vector<std::string> args;
  const char* input;  // file in the scratch folder fed to standard input
  const char* error;
};

class CliBadStreamTest : public ::testing::TestWithParam<BadStreamCase> {};

// A failure with standard input or output names the stream, writes nothing
// and leaves no temporary file behind.
TEST_P(CliBadStreamTest, NamesTheStreamAndCleansUp) {
  TempFolder folder("cli-bad-stream");
  testing::WriteAnimation(folder / "walk.flc", MovingBlocks(9, 7, 3, 1));
  std::ofstream(folder / "junk.flc") << "not a FLIC file";
  fs::create_directories(folder.path() / "tmp");
  const std::string input = GetParam().input;
  const TRun r = RunCli(GetParam().args, folder,
                              {input.empty() ? "" : folder / input, folder / "stdout.bin", folder / "tmp"});
  EXPECT_EQ(r.Exit, 1);
  EXPECT_EQ(r.Err, std::string(GetParam().error) + "\n");
  EXPECT_EQ(fs::file_size(folder / "stdout.bin"), 0u);
  EXPECT_TRUE(fs::is_empty(folder.path() / "tmp"));
}

INSTANTIATE_TEST_SUITE_P(
    Dash, CliBadStreamTest,
    ::testing::Values(BadStreamCase{"NotAFlic", {"convert", "-"}, "junk.flc",
                                    "tovasel-cli: Cannot open FLIC file standard input: not a FLIC file (shorter than the 128-byte header)"},
                      BadStreamCase{"NoFramesToStandardOutput", {"convert", "walk.flc", "-o", "-", "--limit", "-1"},
                                    "", "tovasel-cli: Unsupported GIF version."}),
    [](const auto& info) { return info.param.name; });

// A reader that leaves early is an error, and the temporary files still go.
TEST(CliStreamTest, ClosedPipeLeavesNoTemporaryFile) {
  TempFolder folder("cli-pipe");
  testing::WriteAnimation(folder / "walk.flc", MovingBlocks(9, 7, 3, 1));
  fs::create_directories(folder.path() / "tmp");
  const std::string command = "cd " + Quote(folder.path().string()) + " && TMPDIR=tmp " + Quote(TOVASEL_CLI) +
                              " convert - <walk.flc 2>err.txt | true";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const auto bytes = ReadBytes(folder / "err.txt");
  const std::string err(bytes.begin(), bytes.end());
  EXPECT_TRUE(err.empty() || err == "tovasel-cli: Cannot write to standard output: Broken pipe.\n") << err;
  EXPECT_TRUE(fs::is_empty(folder.path() / "tmp"));
}

TEST(CliSeveralFilesTest, EachFileGetsItsOwnGif) {
  TempFolder folder("cli-several");
  testing::WriteAnimation(folder / "a.flc", MovingBlocks(9, 7, 3, 1));
  testing::WriteAnimation(folder / "b.FLI", MovingBlocks(8, 5, 2, 2));
  ASSERT_EQ(RunCli({"convert", "a.flc", "-o", "a.one"}, folder).Exit, 0);
  ASSERT_EQ(RunCli({"convert", "b.FLI", "-o", "b.one"}, folder).Exit, 0);
  const TRun r = RunCli({"convert", "a.flc", "b.FLI", "--merge"}, folder);
  ASSERT_EQ(r.Exit, 0) << r.Err;
  EXPECT_EQ(r.Out, "Wrote a.gif with 3 GIF frames\nWrote b.gif with 2 GIF frames\n");
  EXPECT_TRUE(testing::PlayGif(folder / "a.gif").error == 0);
  ASSERT_EQ(RunCli({"convert", "a.flc", "--merge", "-o", "a.merged"}, folder).Exit, 0);
  EXPECT_EQ(ReadBytes(folder / "a.gif"), ReadBytes(folder / "a.merged"));
  EXPECT_EQ(RunCli({"convert", "-q", "a.flc", "b.FLI"}, folder).Out, "");
}

// A file that fails does not stop the others; each failure is reported and
// the tool ends with 1.
TEST(CliSeveralFilesTest, FailureInTheMiddleGoesOnAndFailsAtTheEnd) {
  TempFolder folder("cli-several-fail");
  testing::WriteAnimation(folder / "a.flc", MovingBlocks(9, 7, 3, 1));
  testing::WriteAnimation(folder / "c.flc", MovingBlocks(9, 7, 2, 1));
  std::ofstream(folder / "bad.flc") << "not a FLIC file";
  for (const bool quiet : {false, true}) {
    fs::remove(folder / "a.gif");
    fs::remove(folder / "c.gif");
    std::vector<std::string> args = {"convert", "a.flc", "bad.flc", "none.flc", "c.flc"};
    if (quiet) args.push_back("--quiet");
    const TRun r = RunCli(args, folder);
    EXPECT_EQ(r.Exit, 1);
    EXPECT_EQ(r.Err,
              "tovasel-cli: Cannot open FLIC file bad.flc: not a FLIC file (shorter than the 128-byte header)\n"
              "tovasel-cli: Cannot open FLIC file none.flc: no such file.\n"
              "tovasel-cli: 2 files could not be converted.\n");
    EXPECT_EQ(r.Out, quiet ? "" : "Wrote a.gif with 3 GIF frames\nWrote c.gif with 2 GIF frames\n");
    EXPECT_TRUE(fs::exists(folder / "a.gif"));
    EXPECT_TRUE(fs::exists(folder / "c.gif"));
    EXPECT_FALSE(fs::exists(folder / "bad.gif"));
  }
}

// x.flc and x.FLC both name x.gif, and so do x.flc and ./x.flc: found
// before anything is written, a usage error, and nothing is written.
TEST(CliSeveralFilesTest, TwoFilesOfOneGifNameWriteNothing) {
  TempFolder folder("cli-several-same");
  testing::WriteAnimation(folder / "x.flc", MovingBlocks(9, 7, 3, 1));
  testing::WriteAnimation(folder / "x.FLC", MovingBlocks(8, 5, 2, 2));
  for (const char* second : {"x.FLC", "./x.flc"}) {
    const TRun r = RunCli({"convert", "x.flc", second}, folder);
    EXPECT_EQ(r.Exit, 2);
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(Lines(r.Err).front(),
              "tovasel-cli: GIF file " + std::string(second).substr(0, std::string(second).size() - 4) +
                  ".gif is the output of x.flc too; nothing was written")
        << r.Err;
    EXPECT_FALSE(fs::exists(folder / "x.gif"));
  }
}

TEST(CliBatchTest, QuietBatchPrintsOnlyErrors) {
  TempFolder folder("cli-batch-quiet");
  testing::WriteAnimation(folder / "a.flc", MovingBlocks(9, 7, 3, 1));
  std::ofstream(folder / "bad.flc") << "not a FLIC file";
  for (const char* jobs : {"1", "2"}) {
    const TRun r = RunCli({"batch", ".", "-q", "--keep-going", "--jobs", jobs}, folder);
    EXPECT_EQ(r.Exit, 1);
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(Lines(r.Err).size(), 2u) << r.Err;
    EXPECT_TRUE(fs::exists(folder / "a.gif"));
  }
}

}  // namespace
}  // namespace tovasel
