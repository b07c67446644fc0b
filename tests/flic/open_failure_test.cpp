// Why a file does not open: each refusal names its cause, and the header
// check alone, for a stream, refuses exactly what an open refuses.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "flic_test_support.h"

namespace tovasel::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> SmallFile(std::uint16_t width, std::uint16_t height) {
  fw::TFlicLayout l;
  l.Width = width;
  l.Height = height;
  l.Frames.push_back(fw::TFrame{});
  return fw::Serialize(l);
}

std::vector<std::uint8_t> Text(const std::string& text) { return {text.begin(), text.end()}; }

struct TFailureCase {
  std::string Name;
  // Makes the path to open inside the folder.
  std::function<fs::path(const fs::path& folder)> Make;
  std::string Reason;
  bool NeedsUnprivileged = false;
};

void PrintTo(const TFailureCase& c, std::ostream* os) { *os << c.Name; }

fs::path WriteBytes(const fs::path& folder, const std::vector<std::uint8_t>& bytes) {
  const fs::path path = folder / "x.flc";
  fw::WriteFile(path, bytes);
  return path;
}

class OpenFailure : public ::testing::TestWithParam<TFailureCase> {};

TEST_P(OpenFailure, NamesTheCause) {
  const TFailureCase& c = GetParam();
  // Root reads everything, whatever the file's mode says.
  if (c.NeedsUnprivileged && ::geteuid() == 0) GTEST_SKIP() << "running as root";
  TempFolder folder("open-failure");
  const fs::path path = c.Make(folder.path());
  TFlicDecoder decoder;
  EXPECT_FALSE(decoder.Open(path));
  EXPECT_EQ(decoder.ErrorCode(), kFlicErrorFile);
  EXPECT_EQ(decoder.OpenFailure(), c.Reason);
  TFlicPlayer32 player;
  OpenIn(player, path);
  EXPECT_EQ(player.OpenFailure(), c.Reason);
  // A file that then opens forgets the reason.
  ASSERT_TRUE(decoder.Open(SmallFile(4, 4)));
  EXPECT_EQ(decoder.OpenFailure(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Causes, OpenFailure,
    ::testing::Values(
        TFailureCase{"Missing", [](const fs::path& f) { return f / "none.flc"; }, "no such file"},
        TFailureCase{"EmptyName", [](const fs::path&) { return fs::path(); }, "no such file"},
        TFailureCase{"Folder", [](const fs::path& f) { return f; }, "it is a folder"},
        TFailureCase{"Pipe",
                     [](const fs::path& f) {
                       ::mkfifo((f / "pipe.flc").c_str(), 0600);
                       return f / "pipe.flc";
                     },
                     "not a regular file"},
        TFailureCase{"Unreadable",
                     [](const fs::path& f) {
                       const fs::path p = WriteBytes(f, SmallFile(4, 4));
                       fs::permissions(p, fs::perms::none);
                       return p;
                     },
                     "permission denied", true},
        TFailureCase{"Empty", [](const fs::path& f) { return WriteBytes(f, {}); },
                     "not a FLIC file (shorter than the 128-byte header)"},
        TFailureCase{"ShortText", [](const fs::path& f) { return WriteBytes(f, Text("GIF89a, not a FLIC file")); },
                     "not a FLIC file (shorter than the 128-byte header)"},
        TFailureCase{"LongText",
                     [](const fs::path& f) { return WriteBytes(f, Text("This text is no FLIC file. " + std::string(120, '.'))); },
                     "not a FLIC file (a picture of 8308 × 29545 pixels, more than 16777216)"},
        TFailureCase{"NoPixels", [](const fs::path& f) { return WriteBytes(f, SmallFile(0, 8)); },
                     "not a FLIC file (a picture of 0 × 8 pixels)"},
        TFailureCase{"OnePixelTooMany", [](const fs::path& f) { return WriteBytes(f, SmallFile(4097, 4096)); },
                     "not a FLIC file (a picture of 4097 × 4096 pixels, more than 16777216)"}),
    [](const auto& info) { return info.param.Name; });

struct THeaderCase {
  std::string Name;
  std::vector<std::uint8_t> Bytes;
  std::string Reason;
};

void PrintTo(const THeaderCase& c, std::ostream* os) { *os << c.Name; }

class HeaderRefusal : public ::testing::TestWithParam<THeaderCase> {};

// The header's 128 bytes alone decide as the whole file would, from a path
// or from memory, under the same limits.
TEST_P(HeaderRefusal, AgreesWithAnOpenOfTheWholeFile) {
  const THeaderCase& c = GetParam();
  TLimits limits;
  limits.MaxFramePixels = 100;
  TFlicDecoder decoder;
  decoder.SetLimits(limits);
  const std::span<const std::uint8_t> head =
      std::span<const std::uint8_t>(c.Bytes).first(std::min<std::size_t>(c.Bytes.size(), TFlicHeader::kSize));
  EXPECT_EQ(decoder.HeaderRefusal(head), c.Reason);
  EXPECT_EQ(decoder.Open(c.Bytes), c.Reason.empty());
  EXPECT_EQ(decoder.OpenFailure(), c.Reason);
  TTempFlic file(c.Bytes);
  EXPECT_EQ(decoder.Open(file.Path()), c.Reason.empty());
  EXPECT_EQ(decoder.OpenFailure(), c.Reason);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, HeaderRefusal,
    ::testing::Values(THeaderCase{"Accepted", SmallFile(10, 10), ""},
                      THeaderCase{"OneByteShort",
                                  [] {
                                    auto b = SmallFile(10, 10);
                                    b.resize(127);
                                    return b;
                                  }(),
                                  "not a FLIC file (shorter than the 128-byte header)"},
                      THeaderCase{"ZeroHeight", SmallFile(10, 0), "not a FLIC file (a picture of 10 × 0 pixels)"},
                      THeaderCase{"AboveTheLimit", SmallFile(10, 11),
                                  "not a FLIC file (a picture of 10 × 11 pixels, more than 100)"}),
    [](const auto& info) { return info.param.Name; });

}  // namespace
}  // namespace tovasel::testing
