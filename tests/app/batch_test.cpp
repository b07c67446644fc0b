#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/conversion_session.h"
#include "app_test_support.h"
#include "support/giflib_reader.h"

namespace fs = std::filesystem;

namespace tovasel::testing {
namespace {

// Runs the batch one file at a time (jobs 0) or in parallel; returns the
// error text, empty when the batch went through.
std::string RunBatch(const std::string& folder, int jobs, RecordingView& view, bool keepGoing = false,
                     int* failures = nullptr) {
  int failed = 0;
  try {
    TConversionSession session(view);
    failed = session.RunBatch(folder, keepGoing, std::max(jobs, 1));
  } catch (const std::exception& e) {
    return e.what();
  }
  if (failures != nullptr) *failures = failed;
  return "";
}

class BatchTest : public ::testing::TestWithParam<int> {
 protected:
  void Add(const fs::path& relative, unsigned seed, int frames = 3) {
    fs::create_directories((tree_.path() / relative).parent_path());
    testing::WriteAnimation((tree_.path() / relative).string(), MovingBlocks(9, 7, frames, seed));
  }
  std::string Root() const { return tree_.path().string(); }
  std::string Path(const fs::path& relative) const { return (tree_.path() / relative).string(); }

  TempFolder tree_{"batch"};
};

TEST_P(BatchTest, ConvertsEveryFlcBelowTheFolderAndLogsEachStep) {
  Add("top.flc", 1);
  Add("sub/WALK.FLC", 2);
  Add("sub/deeper/three.flc", 3);
  Add(".hidden/skipped.flc", 4);
  Add("sub/not-taken.fli", 5);
  fs::path longFolder;
  for (int i = 0; i < 5; ++i) longFolder /= std::string(60, static_cast<char>('k' + i));
  Add(longFolder / "long.flc", 6);
  ASSERT_GT(Path(longFolder / "long.flc").size(), 255u);

  RecordingView view;
  view.options.Transparent = true;
  EXPECT_EQ(RunBatch(Root(), GetParam(), view), "");

  ASSERT_GE(view.log.size(), 3u);
  EXPECT_EQ(view.log[0], Root() + " selectionné");
  EXPECT_EQ(view.log[1], "Recherche en cours");
  EXPECT_EQ(view.log[2], "4 fichiers trouvés");
  std::vector<std::string> processed(view.log.begin() + 3, view.log.end());
  ASSERT_EQ(processed.size(), 4u);
  // The folder's own file comes first; the rest follow depth first.
  EXPECT_EQ(processed[0], "Traitement de " + Root() + "/top.flc");
  const auto walk = std::find(processed.begin(), processed.end(), "Traitement de " + Path("sub/WALK.FLC"));
  ASSERT_NE(walk, processed.end());
  EXPECT_EQ(*(walk + 1), "Traitement de " + Path("sub/deeper/three.flc"));

  for (const char* gif : {"top.gif", "sub/WALK.gif", "sub/deeper/three.gif"}) {
    const auto played = testing::PlayGif(Path(gif));
    EXPECT_EQ(played.error, 0) << gif;
    EXPECT_EQ(played.frames.size(), 3u) << gif;
  }
  EXPECT_TRUE(fs::exists(Path(longFolder / "long.gif")));
  EXPECT_FALSE(fs::exists(Path(".hidden/skipped.gif")));
  EXPECT_FALSE(fs::exists(Path("sub/not-taken.gif")));
}

TEST_P(BatchTest, OneFileIsCountedInTheSingular) {
  Add("only.flc", 1);
  RecordingView view;
  EXPECT_EQ(RunBatch(Root(), GetParam(), view), "");
  ASSERT_EQ(view.log.size(), 4u);
  EXPECT_EQ(view.log[2], "1 fichier trouvé");
}

TEST_P(BatchTest, TreeWithoutFlcFilesEndsAfterSaying_So) {
  Add("a/clip.fli", 1);
  RecordingView view;
  EXPECT_EQ(RunBatch(Root(), GetParam(), view), "");
  EXPECT_EQ(view.log, (std::vector<std::string>{Root() + " selectionné", "Recherche en cours",
                                                "Pas de fichiers trouvés"}));
}

struct BrokenCase {
  const char* name;
  const char* message;  // what ends the batch; %s stands for the path
};

class BrokenFileBatchTest : public ::testing::TestWithParam<std::tuple<BrokenCase, int>> {};

TEST_P(BrokenFileBatchTest, FirstFailureEndsTheBatchAndNothingAfterIsWritten) {
  const auto& [broken, jobs] = GetParam();
  TempFolder tree("broken");
  // Only one file per folder, so the order is known: a/, then a/b/.
  testing::WriteAnimation(tree / "first.flc", MovingBlocks(9, 7, 3, 1));
  fs::create_directories(tree.path() / "a" / "b");
  const std::string bad = (tree.path() / "a" / "bad.flc").string();
  if (std::string(broken.name) == "NoFrames") {
    auto layout = fw::BuildAnimation(MovingBlocks(9, 7, 2, 2), {});
    layout.FrameCountOverride = 0;
    fw::WriteFile(bad, fw::Serialize(layout));
  } else if (std::string(broken.name) == "TooShort") {
    std::ofstream(bad) << "not a flic";
  } else {
    fs::create_directory(bad);  // a folder whose name matches
  }
  testing::WriteAnimation((tree.path() / "a" / "b" / "after.flc").string(), MovingBlocks(9, 7, 3, 3));
  { std::ofstream(tree / "a/bad.gif") << "old"; }

  RecordingView view;
  view.options.LimitOn = true;
  view.options.LimitText = "1";
  std::string message = broken.message;
  if (const auto at = message.find("%s"); at != std::string::npos) message.replace(at, 2, bad);
  const std::string error = RunBatch(tree.path().string(), jobs, view);
  // With the limit on as without it.
  EXPECT_EQ(error, message);
  EXPECT_EQ(view.log.back(), "Traitement de " + bad);
  EXPECT_TRUE(fs::exists(tree / "first.gif"));
  EXPECT_FALSE(fs::exists(tree / "a/b/after.gif"));
  EXPECT_EQ(testing::ReadBytes(tree / "a/bad.gif"), std::vector<char>({'o', 'l', 'd'}));

  RecordingView unlimited;
  fs::remove(tree / "first.gif");
  fs::remove(tree / "a/b/after.gif");
  { std::ofstream(tree / "a/bad.gif") << "old"; }
  const std::string again = RunBatch(tree.path().string(), jobs, unlimited);
  EXPECT_EQ(again, message);
  EXPECT_EQ(unlimited.log.back(), "Traitement de " + bad);
  EXPECT_FALSE(fs::exists(tree / "a/b/after.gif"));
  EXPECT_EQ(testing::ReadBytes(tree / "a/bad.gif"), std::vector<char>({'o', 'l', 'd'}));
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenFileBatchTest,
    ::testing::Combine(::testing::Values(BrokenCase{"NoFrames", "FLIC file %s has no frames to convert"},
                                         BrokenCase{"TooShort", "Cannot open FLIC file %s: not a FLIC file (shorter than the 128-byte header)"},
                                         BrokenCase{"FolderNamedFlc", "Cannot open FLIC file %s: it is a folder"}),
                       ::testing::Values(0, 3)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) +
             (std::get<1>(info.param) ? "_Parallel" : "_OneByOne");
    });

INSTANTIATE_TEST_SUITE_P(Jobs, BatchTest, ::testing::Values(0, 1, 4),
                         [](const auto& info) {
                           return info.param == 0 ? std::string("OneByOne")
                                                  : "Jobs" + std::to_string(info.param);
                         });

class KeepGoingTest : public ::testing::TestWithParam<int> {};

// Every kind of file that fails on its own: it is reported where it comes in
// the log, and every other file is still converted.
TEST_P(KeepGoingTest, ReportsEachFailureAndConvertsTheRest) {
  TempFolder tree("keep-going");
  // One file per folder, so the order of the log is the order of folders.
  for (const char* folder : {"1", "2", "3", "4", "5"}) fs::create_directories(tree.path() / folder);
  testing::WriteAnimation(tree / "1/good.flc", MovingBlocks(9, 7, 3, 1));
  std::ofstream(tree / "2/bad.flc") << "not a FLIC file";
  ASSERT_EQ(::mkfifo((tree / "3/m.flc").c_str(), 0600), 0);
  fs::create_symlink("loop.flc", tree.path() / "4/loop.flc");
  testing::WriteAnimation(tree / "5/last.flc", MovingBlocks(9, 7, 2, 2));

  RecordingView view;
  int failures = -1;
  ASSERT_EQ(RunBatch(tree.path().string(), GetParam(), view, true, &failures), "");
  EXPECT_EQ(failures, 3);
  std::map<std::string, std::string> reasons{{"bad.flc", "not a FLIC file (shorter than the 128-byte header)"},
                                              {"m.flc", "not a regular file"},
                                              {"loop.flc", std::strerror(ELOOP)}};
  std::vector<std::string> failed;
  for (std::size_t i = 3; i < view.log.size(); ++i) {
    if (view.log[i].rfind("failed ", 0) != 0) continue;
    // Reported right after the line naming the file.
    const std::string path = view.log[i].substr(7, view.log[i].find(": ") - 7);
    EXPECT_EQ(view.log[i - 1], "Traitement de " + path);
    const std::string name = fs::path(path).filename().string();
    EXPECT_EQ(view.log[i], "failed " + path + ": Cannot open FLIC file " + path + ": " + reasons[name]);
    failed.push_back(name);
  }
  std::sort(failed.begin(), failed.end());
  EXPECT_EQ(failed, (std::vector<std::string>{"bad.flc", "loop.flc", "m.flc"}));
  EXPECT_EQ(testing::PlayGif(tree / "1/good.gif").frames.size(), 3u);
  EXPECT_EQ(testing::PlayGif(tree / "5/last.gif").frames.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Jobs, KeepGoingTest, ::testing::Values(0, 3),
                         [](const auto& info) { return info.param == 0 ? "OneByOne" : "Parallel"; });

class SameGifNameTest : public ::testing::TestWithParam<std::tuple<int, bool>> {};

// x.flc and x.FLC both name x.gif: the second is a failure and the first
// file's GIF stays.
TEST_P(SameGifNameTest, SecondFileOfTheSameNameIsAFailure) {
  const auto& [jobs, keepGoing] = GetParam();
  TempFolder tree("same-name");
  testing::WriteAnimation(tree / "x.flc", MovingBlocks(9, 7, 3, 1));
  testing::WriteAnimation(tree / "x.FLC", MovingBlocks(9, 7, 5, 2));
  RecordingView view;
  int failures = -1;
  const std::string error = RunBatch(tree.path().string(), jobs, view, keepGoing, &failures);
  ASSERT_GE(view.log.size(), 5u);
  const std::string first = view.log[3].substr(std::string("Traitement de ").size());
  const std::string second = view.log[4].substr(std::string("Traitement de ").size());
  const std::string message = "GIF file " + (tree / "x.gif") + " was already written from " + first;
  if (keepGoing) {
    EXPECT_EQ(error, "");
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(view.log.back(), "failed " + second + ": " + message);
  } else {
    EXPECT_EQ(error, message);
  }
  const std::size_t frames = fs::path(first).extension() == ".flc" ? 3u : 5u;
  EXPECT_EQ(testing::PlayGif(tree / "x.gif").frames.size(), frames);
  // The refused file's converted GIF, waiting beside it, is gone too.
  for (const auto& entry : fs::directory_iterator(tree.path())) {
    EXPECT_FALSE(entry.path().filename().string().starts_with(".tovasel-")) << entry.path();
  }
}

INSTANTIATE_TEST_SUITE_P(Runs, SameGifNameTest,
                         ::testing::Combine(::testing::Values(0, 2), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param) ? "Parallel" : "OneByOne") +
                                  (std::get<1>(info.param) ? "_KeepGoing" : "_Stops");
                         });

TEST_P(BatchTest, FolderTheSystemRefusesIsToldAndSkipped) {
  Add("a.flc", 1);
  fs::create_directories(tree_.path() / "deep");
  testing::TooDeepFolder deep(tree_.path() / "deep", 24);
  ASSERT_TRUE(deep.Made());
  RecordingView view;
  EXPECT_EQ(RunBatch(Root(), GetParam(), view), "");
  ASSERT_EQ(view.skippedFolders.size(), 1u);
  EXPECT_EQ(view.skippedFolders[0].rfind(Path("deep") + "/" + testing::TooDeepFolder::kName, 0), 0u);
  EXPECT_GT(view.skippedFolders[0].size(), 4000u);
  EXPECT_TRUE(fs::exists(Path("a.gif")));
}

// A file whose first frame sets only the colours from 24 on: the rest come
// from what the player last held, the previous file's colours, until the
// palette change half-way.
void WriteCarryingColours(const fs::path& path, unsigned seed) {
  const auto frames = MovingBlocks(10, 6, 6, seed);
  auto layout = fw::BuildAnimation(frames, {});
  const auto& colours = frames.front().Colours;
  for (fw::TChunk& chunk : layout.Frames.front().Chunks) {
    if (chunk.Type == fw::kColor256) {
      chunk.Payload = fw::Color256Payload({{24, std::vector<fw::TRgb>(colours.begin() + 24, colours.end())}});
    }
  }
  fw::WriteFile(path, fw::Serialize(layout));
}

class ParallelBatchTest : public ::testing::TestWithParam<int> {};

// Each file's first frame leaves some colours to the file before it: every
// job must start from what one decoder converting them all in order would
// hold, or the bytes would depend on the number of jobs.
TEST_P(ParallelBatchTest, WritesTheSameBytesAndLogAsOneByOne) {
  TempFolder a("same-a"), b("same-b");
  for (const TempFolder* tree : {&a, &b}) {
    for (int i = 0; i < 5; ++i) {
      fs::create_directories(tree->path() / ("d" + std::to_string(i % 2)));
      WriteCarryingColours(tree->path() / ("d" + std::to_string(i % 2)) / ("f" + std::to_string(i) + ".flc"),
                           static_cast<unsigned>(i + 1));
    }
    // A file that does not open changes nothing the next one meets.
    std::ofstream(tree->path() / "d0" / "f2b.flc") << "not a FLIC file";
  }
  RecordingView one, many;
  for (RecordingView* view : {&one, &many}) {
    view->options.Merge = GetParam() == 1;
    view->options.Palette = GetParam() == 1;
    view->options.Optimize = GetParam() == 2 ? 1 : 0;
    view->options.ExactColours = GetParam() == 3;
  }
  int failures = 0;
  ASSERT_EQ(RunBatch(a.path().string(), 0, one, true, &failures), "");
  EXPECT_EQ(failures, 1);
  ASSERT_EQ(RunBatch(b.path().string(), 3, many, true, &failures), "");
  EXPECT_EQ(failures, 1);
  ASSERT_EQ(one.log.size(), many.log.size());
  for (std::size_t i = 0; i < one.log.size(); ++i) {
    std::string expected = one.log[i];
    for (auto at = expected.find(a.path().string()); at != std::string::npos; at = expected.find(a.path().string())) {
      expected.replace(at, a.path().string().size(), b.path().string());
    }
    EXPECT_EQ(many.log[i], expected);
  }
  for (int i = 0; i < 5; ++i) {
    const std::string name = "d" + std::to_string(i % 2) + "/f" + std::to_string(i) + ".gif";
    EXPECT_EQ(testing::ReadBytes(a / name), testing::ReadBytes(b / name)) << name;
  }
}

constexpr const char* kParallelCases[] = {"NoOption", "PaletteAndMerge", "Smallest", "ExactColours"};

INSTANTIATE_TEST_SUITE_P(Options, ParallelBatchTest, ::testing::Values(0, 1, 2, 3),
                         [](const auto& info) { return std::string(kParallelCases[info.param]); });

// The window's view: it shows every file it opens, so its batch captures
// each file into the frame cache.
class PreviewingView : public RecordingView {
 public:
  bool ShowsPreview() const override { return true; }
};

struct SerialCase {
  const char* name;
  void (*set)(TConvertOptions&);
};

class SerialBatchTest : public ::testing::TestWithParam<SerialCase> {};

// The command line's batch converts without the frame cache where the
// options allow it, and must still write what the window's batch writes,
// where each file starts from the picture and colours the whole walk of the
// file before left.
TEST_P(SerialBatchTest, WritesWhatTheWindowsBatchWrites) {
  TempFolder tree("serial");
  for (unsigned i = 0; i < 4; ++i) WriteCarryingColours(tree / ("f" + std::to_string(i) + ".flc"), i + 1);
  { std::ofstream(tree / "f9.flc") << "not a FLIC file"; }
  PreviewingView window;
  RecordingView console;
  for (RecordingView* view : {static_cast<RecordingView*>(&window), &console}) GetParam().set(view->options);

  std::vector<std::vector<char>> written;
  int failures = -1;
  ASSERT_EQ(RunBatch(tree.path().string(), 0, window, true, &failures), "");
  EXPECT_EQ(failures, 1);
  for (unsigned i = 0; i < 4; ++i) {
    const std::string gif = tree / ("f" + std::to_string(i) + ".gif");
    written.push_back(testing::ReadBytes(gif));
    fs::remove(gif);
  }
  ASSERT_EQ(RunBatch(tree.path().string(), 0, console, true, &failures), "");
  EXPECT_EQ(failures, 1);
  EXPECT_EQ(console.log, window.log);
  EXPECT_EQ(console.messages, window.messages);
  for (unsigned i = 0; i < 4; ++i) {
    EXPECT_EQ(testing::ReadBytes(tree / ("f" + std::to_string(i) + ".gif")), written[i]) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Options, SerialBatchTest,
    ::testing::Values(SerialCase{"NoOption", [](TConvertOptions&) {}},
                      SerialCase{"LimitBelowLastFrame",
                                 [](TConvertOptions& o) {
                                   o.LimitOn = true;
                                   o.LimitText = "1";
                                 }},
                      SerialCase{"LimitBeyondLastFrame",
                                 [](TConvertOptions& o) {
                                   o.LimitOn = true;
                                   o.LimitText = "9";
                                   o.Transparent = true;
                                 }},
                      SerialCase{"ExactColoursAndTiming",
                                 [](TConvertOptions& o) {
                                   o.ExactColours = true;
                                   o.ExactTiming = true;
                                 }},
                      SerialCase{"PaletteAndMerge",
                                 [](TConvertOptions& o) {
                                   o.Palette = true;
                                   o.Merge = true;
                                   o.LimitOn = true;
                                   o.LimitText = "2";
                                 }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovasel::testing
