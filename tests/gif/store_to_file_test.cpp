// StoreToFile never loses what was at the path: failures leave an existing
// file byte for byte and no temporary file behind.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "gif/gif_exception.h"
#include "gif_test_support.h"
#include "support/temp_folder.h"

namespace tovasel {
namespace {

namespace fs = std::filesystem;
using testing::AddControl;
using testing::AddRawFrame;
using testing::Bytes;

class StoreToFile : public ::testing::Test {
 protected:
  static Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  // Names in the folder, to see that no temporary file stayed behind.
  std::vector<std::string> Listing() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  static void FillDocument(TGIFImage& document) {
    const std::uint8_t pixels[] = {0, 1, 1, 0};
    AddControl(AddRawFrame(document, 2, 2, pixels, 2), 4);
  }
  static std::string ErrorOf(TGIFImage& document, const std::string& path) {
    try {
      document.StoreToFile(path);
    } catch (const GIFException& error) {
      return error.what();
    }
    return "no error";
  }

  testing::TempFolder folder_{"store"};
  const fs::path& dir_ = folder_.path();
};

TEST_F(StoreToFile, WritesTheSameBytesAsTheStream) {
  TGIFImage document;
  FillDocument(document);
  const fs::path path = dir_ / "out.gif";
  document.StoreToFile(path.string());
  EXPECT_EQ(ReadFile(path), testing::SaveToBytes(document));
  EXPECT_EQ(Listing(), std::vector<std::string>{"out.gif"});
}

TEST_F(StoreToFile, NewFileGetsDefaultPermissionsLessUmask) {
  const mode_t old = ::umask(027);
  TGIFImage document;
  FillDocument(document);
  const fs::path path = dir_ / "new.gif";
  document.StoreToFile(path.string());
  ::umask(old);
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(StoreToFile, ReplacedFileKeepsItsPermissionBits) {
  const fs::path path = dir_ / "old.gif";
  WriteFile(path, "previous");
  ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
  TGIFImage document;
  FillDocument(document);
  document.StoreToFile(path.string());
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0604u);
  EXPECT_EQ(ReadFile(path), testing::SaveToBytes(document));
}

TEST_F(StoreToFile, SymbolicLinkStaysAndItsTargetIsReplaced) {
  fs::create_directory(dir_ / "real");
  const fs::path target = dir_ / "real" / "target.gif";
  WriteFile(target, "previous");
  const fs::path link = dir_ / "link.gif";
  fs::create_symlink("real/target.gif", link);
  TGIFImage document;
  FillDocument(document);
  document.StoreToFile(link.string());
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFile(target), testing::SaveToBytes(document));
  EXPECT_EQ(Listing(), (std::vector<std::string>{"link.gif", "real"}));
  EXPECT_EQ(fs::directory_iterator(dir_ / "real")->path().filename(), "target.gif");
}

TEST_F(StoreToFile, DanglingLinkCreatesItsTarget) {
  const fs::path link = dir_ / "link.gif";
  fs::create_symlink("made.gif", link);
  TGIFImage document;
  FillDocument(document);
  document.StoreToFile(link.string());
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFile(dir_ / "made.gif"), testing::SaveToBytes(document));
}

TEST_F(StoreToFile, LinkLoopCannotBeCreated) {
  fs::create_symlink("b.gif", dir_ / "a.gif");
  fs::create_symlink("a.gif", dir_ / "b.gif");
  TGIFImage document;
  FillDocument(document);
  const std::string path = (dir_ / "a.gif").string();
  EXPECT_EQ(ErrorOf(document, path), "Cannot create file " + path);
  EXPECT_EQ(Listing(), (std::vector<std::string>{"a.gif", "b.gif"}));
}

TEST_F(StoreToFile, DocumentWithoutFramesLeavesTheFileAlone) {
  const fs::path path = dir_ / "keep.gif";
  WriteFile(path, "precious bytes");
  TGIFImage document;
  EXPECT_EQ(ErrorOf(document, path.string()), "Unsupported GIF version");
  EXPECT_EQ(ReadFile(path), Bytes({'p', 'r', 'e', 'c', 'i', 'o', 'u', 's', ' ', 'b', 'y', 't',
                                   'e', 's'}));
  EXPECT_EQ(Listing(), std::vector<std::string>{"keep.gif"});
}

TEST_F(StoreToFile, ParentThatIsAFileCannotBeCreated) {
  WriteFile(dir_ / "plain", "not a folder");
  TGIFImage document;
  FillDocument(document);
  const std::string path = (dir_ / "plain" / "out.gif").string();
  EXPECT_EQ(ErrorOf(document, path), "Cannot create file " + path);
  EXPECT_EQ(Listing(), std::vector<std::string>{"plain"});
}

TEST_F(StoreToFile, FailedRenameLeavesTheDestinationAndNoTemporaryFile) {
  // A folder at the path cannot be replaced by a file.
  const fs::path path = dir_ / "folder.gif";
  fs::create_directory(path);
  WriteFile(path / "inside", "kept");
  TGIFImage document;
  FillDocument(document);
  EXPECT_EQ(ErrorOf(document, path.string()), "Cannot write file " + path.string());
  EXPECT_EQ(Listing(), std::vector<std::string>{"folder.gif"});
  EXPECT_EQ(ReadFile(path / "inside"), Bytes({'k', 'e', 'p', 't'}));
}

TEST_F(StoreToFile, EncodingErrorLeavesTheOldFileAndNoTemporaryFile) {
  const fs::path path = dir_ / "old.gif";
  WriteFile(path, "old");
  TGIFImage document;
  const std::uint8_t pixels[] = {0, 5};
  AddRawFrame(document, 2, 1, pixels, 2);
  EXPECT_EQ(ErrorOf(document, path.string()), "Color not in color table");
  EXPECT_EQ(ReadFile(path), Bytes({'o', 'l', 'd'}));
  EXPECT_EQ(Listing(), std::vector<std::string>{"old.gif"});
}

TEST_F(StoreToFile, WriteFailurePartWayLeavesTheOldFile) {
  // A file size limit makes the write fail part-way, even for root.
  const fs::path path = dir_ / "old.gif";
  WriteFile(path, "old");
  TGIFImage document;
  const Bytes pixels(256 * 64, 7);
  for (int i = 0; i < 4; ++i) AddRawFrame(document, 256, 64, pixels, 256);

  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limited = saved;
  limited.rlim_cur = 1000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  const std::string error = ErrorOf(document, path.string());
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_EQ(error, "Cannot write file " + path.string());
  EXPECT_EQ(ReadFile(path), Bytes({'o', 'l', 'd'}));
  EXPECT_EQ(Listing(), std::vector<std::string>{"old.gif"});
}

TEST_F(StoreToFile, SingleItemIsStoredTheSameSafeWay) {
  const fs::path path = dir_ / "item.bin";
  WriteFile(path, "old");
  TGIFImage document;
  TGIFSubImage& frame = AddRawFrame(document, 0, 0, {}, 0);
  AddControl(frame, 0x0102).SaveItemToFile(path.string());
  EXPECT_EQ(ReadFile(path), Bytes({0x21, 0xF9, 4, 0, 2, 1, 0, 0}));
  const std::string bad = (dir_ / "item.bin" / "x").string();
  try {
    frame.ControlExtension()->SaveItemToFile(bad);
    FAIL() << "no exception";
  } catch (const GIFException& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + bad);
  }
  EXPECT_EQ(Listing(), std::vector<std::string>{"item.bin"});
}

TEST_F(StoreToFile, ProgressEndsAtHundredOrZero) {
  std::vector<std::pair<TProgressStage, int>> reports;
  TGIFImage document;
  document.SetOnProgress([&](TGIFImage&, TProgressStage stage, int percent, const std::string& m) {
    EXPECT_EQ(m, "Saving...");
    reports.emplace_back(stage, percent);
  });
  FillDocument(document);
  FillDocument(document);
  document.StoreToFile((dir_ / "p.gif").string());
  using S = TProgressStage;
  EXPECT_EQ(reports, (std::vector<std::pair<S, int>>{
                         {S::psStarting, 0}, {S::psRunning, 50}, {S::psRunning, 100},
                         {S::psEnding, 100}}));
  reports.clear();
  const std::uint8_t bad[] = {7};
  AddRawFrame(document, 1, 1, bad, 2);
  EXPECT_EQ(ErrorOf(document, (dir_ / "q.gif").string()), "Color not in color table");
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.back(), std::make_pair(S::psEnding, 0));
}

}  // namespace
}  // namespace tovasel
