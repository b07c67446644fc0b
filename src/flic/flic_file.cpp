#include "flic/flic_file.h"

#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tovasel {

namespace {

std::string OpenFailureText(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR: return "no such file";
    case EISDIR: return "it is a folder";
    case EACCES:
    case EPERM: return "permission denied";
    default: return std::strerror(error);
  }
}

}  // namespace

TFlicFile::TFlicFile(TFlicFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(std::exchange(other.size_, 0)) {}

TFlicFile& TFlicFile::operator=(TFlicFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

std::string TFlicFile::Open(const std::filesystem::path& path) {
  Close();
  // Without O_NONBLOCK a pipe put in the file's place would hold the open
  // until something writes to it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return OpenFailureText(errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int error = errno;
    ::close(fd);
    return OpenFailureText(error);
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return S_ISDIR(st.st_mode) ? OpenFailureText(EISDIR) : "not a regular file";
  }
  fd_ = fd;
  size_ = static_cast<std::uint64_t>(st.st_size);
  return {};
}

void TFlicFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
}

std::size_t TFlicFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) {
  std::size_t done = 0;
  while (fd_ >= 0 && done < out.size()) {
    if (offset + done > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) break;
    const ssize_t got = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

}  // namespace tovasel
