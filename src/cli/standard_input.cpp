#include "cli/standard_input.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/app_error.h"
#include "gif/scratch_file.h"

namespace tovasel::cli {

namespace {

std::string SystemReason() { return std::strerror(errno); }

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::unique_ptr<TScratchFile> SpoolStandardInput() {
  std::unique_ptr<TScratchFile> file = TScratchFile::InTemporaryFolder("input");
  if (!file) {
    const char* folder = std::getenv("TMPDIR");
    throw EAppError("Cannot create a temporary file in " +
                    std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + ": " + SystemReason());
  }
  const int out = ::open(file->Path().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (out < 0) throw EAppError("Cannot write temporary file " + file->Path() + ": " + SystemReason());
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{out};
  std::vector<char> buffer(std::size_t{1} << 16);
  std::uint64_t total = 0;
  for (;;) {
    const ssize_t n = ::read(STDIN_FILENO, buffer.data(), buffer.size());
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EAppError("Cannot read standard input: " + SystemReason());
    }
    total += static_cast<std::uint64_t>(n);
    if (total > kMaxStandardInputBytes) {
      throw EAppError("Standard input holds more than " + std::to_string(kMaxStandardInputBytes >> 20) +
                      " MiB, too much for a FLIC file");
    }
    if (!WriteAll(out, buffer.data(), static_cast<std::size_t>(n))) {
      throw EAppError("Cannot write temporary file " + file->Path() + ": " + SystemReason());
    }
  }
  return file;
}

}  // namespace tovasel::cli
