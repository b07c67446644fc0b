#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/file_search.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace tovasel {
namespace {

class FileSearchTest : public ::testing::Test {
 protected:
  std::string Touch(const fs::path& relative) {
    const fs::path p = root_ / relative;
    fs::create_directories(p.parent_path());
    std::ofstream(p) << "x";
    return p.string();
  }

  std::string Root() const { return root_.string(); }

  testing::TempFolder folder_{"search"};
  const fs::path& root_ = folder_.path();
};

std::ptrdiff_t IndexOf(const std::vector<std::string>& v, const std::string& s) {
  return std::find(v.begin(), v.end(), s) - v.begin();
}

TEST_F(FileSearchTest, FindsFlcFilesDepthFirstWithAFoldersOwnFilesFirst) {
  const std::string top = Touch("top.flc");
  const std::string upper = Touch("WALK.FLC");
  const std::string inA = Touch("a/one.flc");
  const std::string deep = Touch("a/b/two.Flc");
  const std::string inC = Touch("c/three.flc");
  Touch("a/ignored.fli");
  Touch("a/flc");
  Touch("notflc.flcx");

  TFileSearch search;
  search.SearchFiles(Root(), "flc", true);
  const auto& found = search.FoundPaths();
  ASSERT_EQ(search.FoundCount(), 5);

  const std::string slashed = Root() + "/";
  EXPECT_EQ(found[0].rfind(slashed, 0), 0u);
  // The root's own files come before everything in subfolders.
  EXPECT_LT(std::max(IndexOf(found, top), IndexOf(found, upper)),
            std::min({IndexOf(found, inA), IndexOf(found, deep), IndexOf(found, inC)}));
  // a's subtree is finished before or after c's, never interleaved.
  const auto a = IndexOf(found, inA), b = IndexOf(found, deep), c = IndexOf(found, inC);
  EXPECT_EQ(b, a + 1);
  EXPECT_TRUE(c < a || c > b);
}

TEST_F(FileSearchTest, HiddenFoldersAreSkippedButHiddenFilesAreTaken) {
  Touch(".hidden/secret.flc");
  const std::string hiddenFile = Touch(".dot.flc");
  TFileSearch search;
  search.SearchFiles(Root(), "flc", true);
  ASSERT_EQ(search.FoundCount(), 1);
  EXPECT_EQ(search.FoundPaths()[0], hiddenFile);
}

TEST_F(FileSearchTest, FolderReachedThroughALinkIsNotEntered) {
  Touch("real/inside.flc");
  fs::create_directory_symlink(root_ / "real", root_ / "link");
  fs::create_directory_symlink(root_, root_ / "real" / "loop");
  TFileSearch search;
  search.SearchFiles(Root(), "flc", true);
  ASSERT_EQ(search.FoundCount(), 1);
  EXPECT_EQ(search.FoundPaths()[0], Root() + "/real/inside.flc");
}

TEST_F(FileSearchTest, NonRecursiveSearchStaysInTheFolderAndSlashIsNotDoubled) {
  Touch("a.flc");
  Touch("sub/b.flc");
  TFileSearch search;
  search.SearchFiles(Root() + "/", "flc", false);
  ASSERT_EQ(search.FoundCount(), 1);
  EXPECT_EQ(search.FoundPaths()[0], Root() + "/a.flc");
}

TEST_F(FileSearchTest, LongPathsAreKeptWhole) {
  fs::path rel;
  for (int i = 0; i < 6; ++i) rel /= std::string(60, static_cast<char>('a' + i));
  const std::string longFile = Touch(rel / "deep.flc");
  ASSERT_GT(longFile.size(), 255u);
  TFileSearch search;
  search.SearchFiles(Root(), "flc", true);
  ASSERT_EQ(search.FoundCount(), 1);
  EXPECT_EQ(search.FoundPaths()[0], longFile);
}

TEST_F(FileSearchTest, SecondSearchForgetsTheFirstAndMissingFolderFindsNothing) {
  Touch("a.flc");
  TFileSearch search;
  search.SearchFiles(Root(), "flc", true);
  ASSERT_EQ(search.FoundCount(), 1);
  search.SearchFiles(Root() + "/does-not-exist", "flc", true);
  EXPECT_EQ(search.FoundCount(), 0);
}

}  // namespace
}  // namespace tovasel
