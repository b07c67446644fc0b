#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/conversion_session.h"
#include "app/parallel_batch.h"
#include "app_test_support.h"
#include "gif_playback.h"

namespace fs = std::filesystem;

namespace tovasel {
namespace {

using testing::MovingBlocks;
using testing::RecordingView;
using testing::TempFolder;
namespace fw = tovasel::flicwriter;

// Runs the batch one file at a time (jobs 0) or in parallel; returns the
// error text, empty when the batch went through.
std::string RunBatch(const std::string& folder, int jobs, RecordingView& view) {
  try {
    if (jobs == 0) {
      TConversionSession session(view);
      session.RunBatch(folder);
    } else {
      RunParallelBatch(folder, jobs, view);
    }
  } catch (const std::exception& e) {
    return e.what();
  }
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
  // A zero-frame file with the limit on yields blank frames; without the
  // limit it cannot be stored.
  if (std::string(broken.name) != "NoFrames") {
    EXPECT_EQ(error, message);
    EXPECT_EQ(view.log.back(), "Traitement de " + bad);
    EXPECT_TRUE(fs::exists(tree / "first.gif"));
    EXPECT_FALSE(fs::exists(tree / "a/b/after.gif"));
    EXPECT_EQ(testing::ReadBytes(tree / "a/bad.gif"), std::vector<char>({'o', 'l', 'd'}));
  }

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
    ::testing::Combine(::testing::Values(BrokenCase{"NoFrames", "Unsupported GIF version"},
                                         BrokenCase{"TooShort", "Cannot open FLIC file %s"},
                                         BrokenCase{"FolderNamedFlc", "Cannot open FLIC file %s"}),
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

TEST(ParallelBatchTest, WritesTheSameBytesAndLogAsOneByOne) {
  TempFolder a("same-a"), b("same-b");
  for (const TempFolder* tree : {&a, &b}) {
    for (int i = 0; i < 5; ++i) {
      fs::create_directories(tree->path() / ("d" + std::to_string(i % 2)));
      testing::WriteAnimation(
          (tree->path() / ("d" + std::to_string(i % 2)) / ("f" + std::to_string(i) + ".flc")).string(),
          MovingBlocks(13, 11, 4, static_cast<unsigned>(i)));
    }
  }
  RecordingView one, many;
  one.options.Merge = many.options.Merge = true;
  one.options.Palette = many.options.Palette = true;
  ASSERT_EQ(RunBatch(a.path().string(), 0, one), "");
  ASSERT_EQ(RunBatch(b.path().string(), 3, many), "");
  ASSERT_EQ(one.log.size(), many.log.size());
  for (std::size_t i = 0; i < one.log.size(); ++i) {
    std::string expected = one.log[i];
    if (const auto at = expected.find(a.path().string()); at != std::string::npos) {
      expected.replace(at, a.path().string().size(), b.path().string());
    }
    EXPECT_EQ(many.log[i], expected);
  }
  for (int i = 0; i < 5; ++i) {
    const std::string name = "d" + std::to_string(i % 2) + "/f" + std::to_string(i) + ".gif";
    EXPECT_EQ(testing::ReadBytes(a / name), testing::ReadBytes(b / name)) << name;
  }
}

}  // namespace
}  // namespace tovasel
