#include "gif/output_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "gif/gif_exception.h"
#include "gif/safe_file_store.h"
#include "gif/scratch_file.h"

namespace tovasel {

namespace {

std::string Reason() { return std::strerror(errno); }

// Descriptor names the system offers, each standing for an open descriptor
// of the process rather than for a file to replace.
int DescriptorNumber(const std::string& path, const std::string& prefix) {
  if (!path.starts_with(prefix) || path.size() == prefix.size()) return -1;
  int fd = -1;
  const char* first = path.data() + prefix.size();
  const char* last = path.data() + path.size();
  const auto [end, ec] = std::from_chars(first, last, fd);
  return ec == std::errc() && end == last ? fd : -1;
}

// What a special file is called in a refusal.
const char* KindOf(mode_t mode) {
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISDIR(mode)) return "a folder";
  return "not a regular file";
}

// Spools the writer's bytes, then hands them to Deliver.
void ThroughScratchFile(const std::function<void(std::ostream& stream)>& write,
                        const std::function<void(const TScratchFile& scratch)>& deliver) {
  const std::unique_ptr<TScratchFile> scratch = TScratchFile::InTemporaryFolder("output");
  if (!scratch) {
    const char* folder = std::getenv("TMPDIR");
    throw GIFException("Cannot create a temporary file in " +
                       std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + ": " + Reason());
  }
  StoreFileSafely(scratch->Path(), write);
  deliver(*scratch);
}

void CopyInto(const TScratchFile& scratch, int fd, const std::string& failureText) {
  // A reader that went away must come back as an error, not as a signal
  // that would end the process with its temporary files still in place.
  std::signal(SIGPIPE, SIG_IGN);
  bool reading = false;
  if (!scratch.CopyTo(fd, reading)) {
    throw GIFException(reading ? "Cannot read temporary file " + scratch.Path() + ": " + Reason()
                               : failureText + ": " + Reason());
  }
}

}  // namespace

int DescriptorNamedBy(const std::string& path) {
  if (path == "/dev/stdin") return 0;
  if (path == "/dev/stdout") return 1;
  if (path == "/dev/stderr") return 2;
  const int fd = DescriptorNumber(path, "/dev/fd/");
  return fd >= 0 ? fd : DescriptorNumber(path, "/proc/self/fd/");
}

void StoreToDescriptor(int fd, const std::string& failureText,
                       const std::function<void(std::ostream& stream)>& write) {
  ThroughScratchFile(write, [&](const TScratchFile& scratch) { CopyInto(scratch, fd, failureText); });
}

void StoreOutput(const std::string& path, const std::function<void(std::ostream& stream)>& write) {
  std::string failureText = "Cannot write file " + path;
  if (const int fd = DescriptorNamedBy(path); fd >= 0) {
    if (fd == 1) failureText = "Cannot write to standard output";
    if (fd == 2) failureText = "Cannot write to standard error";
    if (::fcntl(fd, F_GETFD) < 0) throw GIFException(failureText + ": " + Reason());
    StoreToDescriptor(fd, failureText, write);
    return;
  }
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode)) {
    StoreFileSafely(path, write);
    return;
  }
  if (!S_ISFIFO(info.st_mode) && !S_ISCHR(info.st_mode)) {
    throw GIFException(failureText + ": it is " + KindOf(info.st_mode));
  }
  ThroughScratchFile(write, [&](const TScratchFile& scratch) {
    // Opened only now that the GIF is complete: a FIFO's reader sees nothing
    // of a conversion that fails, and a device is never truncated.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) throw GIFException(failureText + ": " + Reason());
    struct Closer {
      int fd;
      ~Closer() { ::close(fd); }
    } closer{fd};
    CopyInto(scratch, fd, failureText);
  });
}

}  // namespace tovasel
