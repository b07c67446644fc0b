#pragma once

#include <memory>
#include <string>

namespace tovasel {

// A temporary file of the program's own: where a GIF waits for its turn to
// be stored, or stands in for a stream that cannot seek. It is removed when
// the object goes, and by the signal handlers if the process is interrupted
// first.
class TScratchFile {
 public:
  // A new empty file "<folder>/<prefix>XXXXXX". Null, with errno set, when
  // the folder takes no new file.
  static std::unique_ptr<TScratchFile> Create(const std::string& folder, const std::string& prefix);
  // Beside the file at path (in its folder), hidden.
  static std::unique_ptr<TScratchFile> Beside(const std::string& path);
  // In $TMPDIR, or /tmp.
  static std::unique_ptr<TScratchFile> InTemporaryFolder(const std::string& stem);

  ~TScratchFile();
  TScratchFile(const TScratchFile&) = delete;
  TScratchFile& operator=(const TScratchFile&) = delete;

  const std::string& Path() const { return path_; }

  // Writes the file's bytes to the descriptor, going on after short writes
  // and interruptions. False, with errno set, when reading the file or
  // writing the descriptor fails; Reading tells which.
  bool CopyTo(int fd, bool& reading) const;

 private:
  TScratchFile(std::string path, int slot) : path_(std::move(path)), slot_(slot) {}

  std::string path_;
  int slot_;
};

// The folder of a path, "." for a bare name.
std::string FolderOf(const std::string& path);

}  // namespace tovasel
