#include "support/temp_folder.h"

#include <cstdlib>
#include <stdexcept>

namespace tovasel::testing {

namespace fs = std::filesystem;

TempFolder::TempFolder(const std::string& tag) {
  // mkdtemp picks a name no other test process holds, so tests may run in
  // parallel and a folder left by a killed run is never reused.
  std::string pattern = (fs::temp_directory_path() / ("tovasel-" + tag + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a folder like " + pattern);
  path_ = pattern;
}

TempFolder::~TempFolder() {
  // A test may have taken the rights away from a folder it made.
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(path_, fs::directory_options::skip_permission_denied, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(path_, ec);
}

}  // namespace tovasel::testing
