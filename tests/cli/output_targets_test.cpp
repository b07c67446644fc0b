// What a GIF path names decides how the GIF gets there: a FIFO or a
// character device receives the bytes and stays what it is, /dev/stdout is
// standard output, and a socket is refused; a FLIC file on standard input
// is checked before it is read, and a damaged file says so.

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "cli/cli_fixture.h"

namespace tovasel::testing {
namespace {

namespace fs = std::filesystem;

class SpecialOutputTest : public CliFixture {
 protected:
  void SetUp() override {
    WriteFlic(fw::BuildAnimation(MovingBlocks(11, 7, 4, 3), {}), "walk.flc");
    ASSERT_EQ(Run({"convert", "walk.flc", "-o", "plain.gif", "-q"}).Exit, 0);
  }
  std::string Plain() const { return ReadText(Work() / "plain.gif"); }
};

// A FIFO with a reader waiting gets the GIF the reader would get through a
// pipe, and is still a FIFO afterwards.
TEST_F(SpecialOutputTest, FifoGetsTheGifAndStays) {
  const fs::path fifo = Work() / "out.gif";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto reader = std::async(std::launch::async, [&] {
    std::ifstream in(fifo, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  });
  const TRun r = Run({"convert", "walk.flc", "-o", "out.gif"});
  EXPECT_EQ(r.Exit, 0) << r.Err;
  EXPECT_EQ(reader.get(), Plain());
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(r.Out, "Wrote out.gif with 4 GIF frames\n");
}

// A conversion that fails sends nothing to the FIFO's reader, which then
// sees an end without bytes once the test gives up writing.
TEST_F(SpecialOutputTest, FailedConversionLeavesTheFifoAlone) {
  const fs::path fifo = Work() / "out.gif";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const TRun r = Run({"convert", "walk.flc", "-o", "out.gif", "--limit", "-1"});
  EXPECT_EQ(r.Exit, 1);
  EXPECT_TRUE(fs::is_fifo(fifo));
}

// A private copy of /dev/null: the device stays a device. Only root may
// make device nodes.
TEST_F(SpecialOutputTest, CharacterDeviceStaysADevice) {
  if (::geteuid() != 0) GTEST_SKIP() << "making a device node needs root";
  const fs::path node = Work() / "null";
  ASSERT_EQ(::mknod(node.c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
  const TRun r = Run({"convert", "walk.flc", "-o", node.string()});
  EXPECT_EQ(r.Exit, 0) << r.Err;
  struct stat info {};
  ASSERT_EQ(::stat(node.c_str(), &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));
  EXPECT_EQ(info.st_rdev, ::makedev(1, 3));
}

// /dev/stdout is standard output: the GIF goes where standard output goes,
// and the file there is written into, not replaced.
TEST_F(SpecialOutputTest, DevStdoutIsStandardOutput) {
  const fs::path out = Work() / "redirected.gif";
  { std::ofstream(out) << ""; }
  const auto before = fs::status(out).permissions();
  const TRun r = RunCli({"convert", "walk.flc", "-o", "/dev/stdout"}, Work(), {"", out.string(), ""});
  EXPECT_EQ(r.Exit, 0) << r.Err;
  EXPECT_EQ(ReadText(out), Plain());
  EXPECT_EQ(fs::status(out).permissions(), before);
}

TEST_F(SpecialOutputTest, SocketIsRefused) {
  const fs::path socketPath = Work() / "s.gif";
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string name = socketPath.string();
  ASSERT_LT(name.size(), sizeof address.sun_path);
  std::copy(name.begin(), name.end(), address.sun_path);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const TRun r = Run({"convert", "walk.flc", "-o", "s.gif"});
  ::close(fd);
  EXPECT_EQ(r.Exit, 1);
  EXPECT_EQ(r.Err, "tovasel-cli: Cannot write file s.gif: it is a socket.\n");
  EXPECT_TRUE(fs::is_socket(socketPath));
}

// A batch's GIF that is a FIFO gets the GIF the same way.
TEST_F(SpecialOutputTest, BatchWritesIntoAFifo) {
  fs::create_directories(Work() / "tree");
  fs::copy_file(Work() / "walk.flc", Work() / "tree" / "walk.flc");
  const fs::path fifo = Work() / "tree" / "walk.gif";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto reader = std::async(std::launch::async, [&] {
    std::ifstream in(fifo, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  });
  const TRun r = Run({"batch", "tree", "-q"});
  EXPECT_EQ(r.Exit, 0) << r.Err;
  EXPECT_EQ(reader.get(), Plain());
  EXPECT_TRUE(fs::is_fifo(fifo));
}

class StandardInputTest : public CliFixture {};

// What is not a FLIC file is refused from its header, before the rest of
// the stream is read (a stream of zeros never ends).
TEST_F(StandardInputTest, EndlessZerosAreRefusedFromTheHeader) {
  fs::create_directories(Work() / "tmp");
  const TRun r = RunCli({"convert", "-", "-o", "x.gif"}, Work(), {"/dev/zero", "", (Work() / "tmp").string()});
  EXPECT_EQ(r.Exit, 1);
  EXPECT_EQ(r.Err,
            "tovasel-cli: Cannot open FLIC file standard input: not a FLIC file (a picture of 0 × 0 pixels)\n");
  EXPECT_TRUE(fs::is_empty(Work() / "tmp"));
}

// A header that claims more than a FLIC may be: the stream is read up to
// the limit, and a stream that goes on past it is refused.
TEST_F(StandardInputTest, MoreThanTheLimitIsRefused) {
  std::vector<std::uint8_t> bytes = fw::Serialize(fw::BuildAnimation(MovingBlocks(8, 8, 2, 1), {}));
  bytes[0] = bytes[1] = bytes[2] = bytes[3] = 0xFF;
  const fs::path big = Work() / "big.flc";
  fw::WriteFile(big, bytes);
  fs::resize_file(big, (std::uintmax_t{256} << 20) + 10);
  const TRun r = RunCli({"convert", "-", "-o", "x.gif"}, Work(), {big.string(), "", ""});
  EXPECT_EQ(r.Exit, 1);
  EXPECT_EQ(r.Err, "tovasel-cli: Standard input holds more than 256 MiB, too much for a FLIC file.\n");
  EXPECT_FALSE(fs::exists(Work() / "x.gif"));
}

// A file cut short converts as far as it holds, and says where the damage
// starts; quiet says nothing but errors, and the exit status stays 0.
TEST_F(StandardInputTest, CutFileSaysWhereItIsDamaged) {
  const std::vector<std::uint8_t> whole = fw::Serialize(fw::BuildAnimation(MovingBlocks(8, 8, 6, 1), {}));
  fw::TFlicLayout layout = fw::BuildAnimation(MovingBlocks(8, 8, 6, 1), {});
  const std::uint32_t cut = fw::FrameOffset(layout, 4);
  std::vector<std::uint8_t> head(whole.begin(), whole.begin() + cut);
  fw::WriteFile(Work() / "cut.flc", head);
  const TRun r = Run({"convert", "cut.flc"});
  EXPECT_EQ(r.Exit, 0);
  EXPECT_EQ(r.Err, "tovasel-cli: FLIC file cut.flc is damaged from frame 5 on; the GIF holds the 4 frames before it.\n");
  EXPECT_EQ(r.Out, "Wrote cut.gif with 4 GIF frames\n");
  const TRun quiet = Run({"convert", "cut.flc", "-q"});
  EXPECT_EQ(quiet.Err, "");
  const TRun info = Run({"info", "cut.flc"});
  EXPECT_NE(info.Out.find("error: 770 (damaged from frame 5)\n"), std::string::npos) << info.Out;
  fs::create_directories(Work() / "tree");
  fs::copy_file(Work() / "cut.flc", Work() / "tree" / "cut.flc");
  for (const char* jobs : {"1", "2"}) {
    const TRun batch = Run({"batch", "tree", "--jobs", jobs});
    EXPECT_EQ(batch.Exit, 0);
    EXPECT_EQ(batch.Err, "tovasel-cli: FLIC file " + (Work() / "tree" / "cut.flc").string() +
                             " is damaged from frame 5 on; the GIF holds the 4 frames before it.\n")
        << jobs;
  }
}

}  // namespace
}  // namespace tovasel::testing
