#pragma once

#include <cstdint>
#include <string>

namespace tovasel::cli {

// A temporary file in $TMPDIR (or /tmp) that stands in for standard input
// or standard output where the conversion needs a named file. It is removed
// when the object goes, and by the signal handlers if the process is
// interrupted first.
class TScratchFile {
 public:
  explicit TScratchFile(const std::string& stem);
  ~TScratchFile();
  TScratchFile(const TScratchFile&) = delete;
  TScratchFile& operator=(const TScratchFile&) = delete;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  int slot_ = -1;
};

// The largest FLIC read from standard input: far beyond any real animation,
// small enough that a runaway pipe cannot fill the temporary folder.
inline constexpr std::uint64_t kMaxStandardInputBytes = std::uint64_t{256} << 20;

// Copies standard input into file; raises EAppError when it cannot be read
// or written, or when it holds more than kMaxStandardInputBytes.
void CopyStandardInputTo(const TScratchFile& file);

// Copies the file at path to standard output; raises EAppError when it
// cannot be read or standard output refuses the bytes.
void CopyFileToStandardOutput(const std::string& path);

}  // namespace tovasel::cli
