#include "gif/safe_file_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "gif/gif_exception.h"
#include "gif/temp_file_registry.h"

namespace tovasel {

namespace {

// An output buffer over a file descriptor that remembers whether any write
// failed, so that a full disk is told apart from an error of the document.
class TDescriptorBuffer : public std::streambuf {
 public:
  explicit TDescriptorBuffer(int fd) : fd_(fd), buffer_(65536) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
  }
  TDescriptorBuffer(const TDescriptorBuffer&) = delete;
  TDescriptorBuffer& operator=(const TDescriptorBuffer&) = delete;

  bool Failed() const { return failed_; }
  bool Flush() { return Drain(); }

 protected:
  int_type overflow(int_type ch) override {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(ch);
      pbump(1);
    }
    return traits_type::not_eof(ch);
  }
  int sync() override { return Drain() ? 0 : -1; }
  // A writer may go back to fill in what it learns only at the end, such as
  // a header that describes every frame.
  pos_type seekoff(off_type offset, std::ios_base::seekdir direction, std::ios_base::openmode) override {
    if (!Drain()) return pos_type(off_type(-1));
    const int whence = direction == std::ios_base::beg ? SEEK_SET : direction == std::ios_base::cur ? SEEK_CUR : SEEK_END;
    const off_t at = ::lseek(fd_, static_cast<off_t>(offset), whence);
    return at < 0 ? pos_type(off_type(-1)) : pos_type(static_cast<off_type>(at));
  }
  pos_type seekpos(pos_type position, std::ios_base::openmode which) override {
    return seekoff(off_type(position), std::ios_base::beg, which);
  }

 private:
  bool Drain() {
    const char* data = pbase();
    std::size_t left = static_cast<std::size_t>(pptr() - pbase());
    while (left > 0 && !failed_) {
      const ssize_t written = ::write(fd_, data, left);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) {
        failed_ = true;
        break;
      }
      data += written;
      left -= static_cast<std::size_t>(written);
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return !failed_;
  }

  int fd_;
  bool failed_ = false;
  std::vector<char> buffer_;  // on the heap: callers may run on small stacks
};

// The temporary file until it is renamed over the destination: removed on
// every other way out, a terminating signal included.
class TTemporaryFile {
 public:
  TTemporaryFile(std::string path, int fd, int slot) : path_(std::move(path)), fd_(fd), slot_(slot) {}
  ~TTemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!kept_) ::unlink(path_.c_str());
    TTempFileRegistry::Remove(slot_);
  }
  TTemporaryFile(const TTemporaryFile&) = delete;
  TTemporaryFile& operator=(const TTemporaryFile&) = delete;

  const std::string& Path() const { return path_; }
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }
  void Keep() { kept_ = true; }

 private:
  std::string path_;
  int fd_;
  int slot_;
  bool kept_ = false;
};

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Follows symbolic links to the file they name, so that the link survives
// and its target is what gets replaced. A dangling link names the file to
// create. Returns an empty string for a link loop.
std::string ResolveLinks(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 4096) + 1, '\0');
    const ssize_t length = ::readlink(current.c_str(), link.data(), link.size());
    if (length < 0 || static_cast<std::size_t>(length) >= link.size()) return {};
    link.resize(static_cast<std::size_t>(length));
    current = link.starts_with('/') ? link : DirectoryOf(current) + "/" + link;
  }
  return {};
}

// The process's umask, read without changing it where the system allows.
mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with("Umask:")) {
      try {
        return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
      } catch (...) {
        break;
      }
    }
  }
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return mask;
}

}  // namespace

void StoreFileSafely(const std::string& fileName,
                     const std::function<void(std::ostream& stream)>& write) {
  const std::string cannotCreate = "Cannot create file " + fileName;
  const std::string cannotWrite = "Cannot write file " + fileName;

  const std::string target = fileName.empty() ? std::string() : ResolveLinks(fileName);
  if (target.empty()) throw GIFException(cannotCreate);
  const std::string directory = DirectoryOf(target);
  std::string pattern = directory + "/.tovasel-XXXXXX";
  int slot = -1;
  const int fd = TTempFileRegistry::CreateTemporary(pattern, slot);
  if (fd < 0) throw GIFException(cannotCreate);
  TTemporaryFile temporary(pattern, fd, slot);

  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0) {
    if (::fchmod(fd, existing.st_mode & 07777) != 0) throw GIFException(cannotCreate);
    // Only a privileged process may give the file away; others keep owning it.
    [[maybe_unused]] const int ignored = ::fchown(fd, existing.st_uid, existing.st_gid);
  } else if (::fchmod(fd, 0666 & ~CurrentUmask()) != 0) {
    throw GIFException(cannotCreate);
  }

  TDescriptorBuffer buffer(fd);
  std::ostream stream(&buffer);
  try {
    write(stream);
  } catch (const GIFException&) {
    if (buffer.Failed()) throw GIFException(cannotWrite);
    throw;
  }
  if (!buffer.Flush() || ::fsync(fd) != 0 || !temporary.Close()) {
    throw GIFException(cannotWrite);
  }
  if (::rename(temporary.Path().c_str(), target.c_str()) != 0) throw GIFException(cannotWrite);
  temporary.Keep();
  // Makes the rename itself durable; the file is complete either way.
  const int folder = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
}

}  // namespace tovasel
