#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tovasel {

// Depth-first search of a folder tree for files with one extension, as the
// directory batch uses it. Results stay valid until the next SearchFiles.
//
// On this platform "/" separates path components, a name that begins with
// "." is hidden, and folders reached through symbolic links are not entered
// (a link loop would otherwise never end). Paths are never shortened.
class TFileSearch {
 public:
  // Fills FoundCount and FoundPaths with every entry of Dir (and, when
  // Recursive, of its visible subfolders) whose name ends in "." + Ext,
  // letter case ignored. A folder that cannot be listed contributes nothing.
  void SearchFiles(const std::string& Dir, const std::string& Ext, bool Recursive);

  int FoundCount() const { return static_cast<int>(foundPaths_.size()); }
  const std::vector<std::string>& FoundPaths() const { return foundPaths_; }

  // Told about every folder that could not be listed (or listed only in
  // part), with the system's reason; the search goes on without it.
  std::function<void(const std::string& path, const std::string& reason)> OnUnreadable;

  // Dir ends with "/" (or is empty); names are appended to it directly.
  void CollectMatchingFiles(const std::string& Dir, const std::string& Ext);
  void SearchSubdirectories(const std::string& Dir, const std::string& Ext);

 private:
  // Lists the entries of one folder in the file system's own order; report
  // says whether a failure goes to OnUnreadable.
  template <typename Visit>
  void ListFolder(const std::string& dir, bool report, Visit visit);

  std::vector<std::string> foundPaths_;
};

// True when Name ends in "." followed by Ext, ignoring ASCII letter case.
bool MatchesExtension(const std::string& Name, const std::string& Ext);

}  // namespace tovasel
