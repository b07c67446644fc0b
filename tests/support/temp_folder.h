#pragma once

#include <filesystem>
#include <string>

namespace tovasel::testing {

// A fresh folder of its own below the system's temporary folder, removed
// with everything in it (made writable first) when the object goes.
class TempFolder {
 public:
  explicit TempFolder(const std::string& tag = "test");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace tovasel::testing
