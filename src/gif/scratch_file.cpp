#include "gif/scratch_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "gif/temp_file_registry.h"

namespace tovasel {

namespace {

// Closes a descriptor on every path out of a copy, keeping errno.
struct TDescriptor {
  int fd;
  ~TDescriptor() {
    const int saved = errno;
    if (fd >= 0) ::close(fd);
    errno = saved;
  }
};

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

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::unique_ptr<TScratchFile> TScratchFile::Create(const std::string& folder, const std::string& prefix) {
  std::string pattern = folder + "/" + prefix + "XXXXXX";
  int slot = -1;
  const int fd = TTempFileRegistry::CreateTemporary(pattern, slot);
  if (fd < 0) return nullptr;
  ::close(fd);
  return std::unique_ptr<TScratchFile>(new TScratchFile(std::move(pattern), slot));
}

std::unique_ptr<TScratchFile> TScratchFile::Beside(const std::string& path) {
  return Create(FolderOf(path), ".tovasel-");
}

std::unique_ptr<TScratchFile> TScratchFile::InTemporaryFolder(const std::string& stem) {
  const char* folder = std::getenv("TMPDIR");
  return Create(folder != nullptr && *folder != '\0' ? folder : "/tmp", "tovasel-" + stem + "-");
}

TScratchFile::~TScratchFile() {
  // Unlinked before it is forgotten, so a signal in between cannot leave it.
  ::unlink(path_.c_str());
  TTempFileRegistry::Remove(slot_);
}

bool TScratchFile::CopyTo(int fd, bool& reading) const {
  reading = true;
  const TDescriptor in{::open(path_.c_str(), O_RDONLY | O_CLOEXEC)};
  if (in.fd < 0) return false;
  std::vector<char> buffer(std::size_t{1} << 16);
  for (;;) {
    const ssize_t n = ::read(in.fd, buffer.data(), buffer.size());
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    reading = false;
    if (!WriteAll(fd, buffer.data(), static_cast<std::size_t>(n))) return false;
    reading = true;
  }
}

}  // namespace tovasel
