#include "cli/scratch_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/app_error.h"
#include "cli/commands.h"
#include "gif/temp_file_registry.h"

namespace tovasel::cli {
namespace {

std::string SystemReason() { return std::strerror(errno); }

// Closes a descriptor on every path out of a copy.
struct TDescriptor {
  int fd;
  ~TDescriptor() {
    if (fd >= 0) ::close(fd);
  }
};

// Writes all of data, going on after short writes and interruptions.
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

constexpr std::size_t kChunk = std::size_t{1} << 16;

}  // namespace

TScratchFile::TScratchFile(const std::string& stem) {
  const char* folder = std::getenv("TMPDIR");
  std::string pattern = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") +
                        "/tovasel-" + stem + "-XXXXXX";
  const int fd = TTempFileRegistry::CreateTemporary(pattern, slot_);
  if (fd < 0) throw EAppError("Cannot create a temporary file in " + pattern.substr(0, pattern.rfind('/')) +
                              ": " + SystemReason());
  ::close(fd);
  path_ = pattern;
}

TScratchFile::~TScratchFile() {
  // Unlinked before it is forgotten, so a signal in between cannot leave it.
  ::unlink(path_.c_str());
  TTempFileRegistry::Remove(slot_);
}

void CopyStandardInputTo(const TScratchFile& file) {
  TDescriptor out{::open(file.Path().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC)};
  if (out.fd < 0) throw EAppError("Cannot write temporary file " + file.Path() + ": " + SystemReason());
  std::vector<char> buffer(kChunk);
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
    if (!WriteAll(out.fd, buffer.data(), static_cast<std::size_t>(n))) {
      throw EAppError("Cannot write temporary file " + file.Path() + ": " + SystemReason());
    }
  }
}

void CopyFileToStandardOutput(const std::string& path) {
  TDescriptor in{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (in.fd < 0) throw EAppError("Cannot read temporary file " + path + ": " + SystemReason());
  // A reader that went away must come back as an error, not as a signal
  // that would end the process with its temporary files still in place.
  std::signal(SIGPIPE, SIG_IGN);
  // Whatever standard output's buffer holds goes first.
  if (const std::string error = StandardOutputError(); !error.empty()) throw EAppError(error);
  std::vector<char> buffer(kChunk);
  for (;;) {
    const ssize_t n = ::read(in.fd, buffer.data(), buffer.size());
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EAppError("Cannot read temporary file " + path + ": " + SystemReason());
    }
    if (!WriteAll(STDOUT_FILENO, buffer.data(), static_cast<std::size_t>(n))) {
      throw EAppError("Cannot write to standard output: " + SystemReason());
    }
  }
}

}  // namespace tovasel::cli
