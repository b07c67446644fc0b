#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace tovasel {

// A FLIC file open for reading, closed with the object. Only a regular
// file opens: a folder, a pipe or a device is refused before anything is
// read, and opening never waits for a writer.
class TFlicFile {
 public:
  TFlicFile() = default;
  ~TFlicFile() { Close(); }
  TFlicFile(TFlicFile&& other) noexcept;
  TFlicFile& operator=(TFlicFile&& other) noexcept;
  TFlicFile(const TFlicFile&) = delete;
  TFlicFile& operator=(const TFlicFile&) = delete;

  // Opens path; gives "" or why it cannot be read: "no such file", "it is a
  // folder", "permission denied", "not a regular file", or the system's own
  // text for any other failure.
  std::string Open(const std::filesystem::path& path);
  void Close();

  bool IsOpen() const { return fd_ >= 0; }
  // The file's size when it was opened.
  std::uint64_t Size() const { return size_; }
  // Reads into out from offset; gives the bytes read, fewer at the end of
  // the file or when the system fails to read.
  std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> out);

 private:
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

}  // namespace tovasel
