#include "app/file_search.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace tovasel {

namespace {

bool IsHidden(const std::string& name) { return !name.empty() && name.front() == '.'; }

}  // namespace

template <typename Visit>
void TFileSearch::ListFolder(const std::string& dir, bool report, Visit visit) {
  std::error_code ec;
  fs::directory_iterator it(dir.empty() ? fs::path(".") : fs::path(dir), ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    visit(*it);
  }
  // An unreadable folder simply has nothing (more) in it; whoever asked is
  // told why.
  if (ec && report && OnUnreadable) {
    std::string shown = dir;
    if (shown.size() > 1 && shown.back() == '/') shown.pop_back();
    OnUnreadable(shown, ec.message());
  }
}

bool MatchesExtension(const std::string& Name, const std::string& Ext) {
  if (Name.size() < Ext.size() + 1) return false;
  const std::size_t dot = Name.size() - Ext.size() - 1;
  if (Name[dot] != '.') return false;
  return std::equal(Ext.begin(), Ext.end(), Name.begin() + static_cast<std::ptrdiff_t>(dot) + 1,
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

void TFileSearch::SearchFiles(const std::string& Dir, const std::string& Ext, bool Recursive) {
  foundPaths_.clear();
  std::string dir = Dir;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  CollectMatchingFiles(dir, Ext);
  if (Recursive) SearchSubdirectories(dir, Ext);
}

void TFileSearch::CollectMatchingFiles(const std::string& Dir, const std::string& Ext) {
  // Like a wildcard listing, this takes every matching entry whatever its
  // kind or attributes, hidden files included.
  ListFolder(Dir, true, [&](const fs::directory_entry& entry) {
    const std::string name = entry.path().filename().string();
    if (MatchesExtension(name, Ext)) foundPaths_.push_back(Dir + name);
  });
}

void TFileSearch::SearchSubdirectories(const std::string& Dir, const std::string& Ext) {
  std::vector<std::string> subfolders;
  // Every folder is listed for its files first; a failure is told then.
  ListFolder(Dir, false, [&](const fs::directory_entry& entry) {
    const std::string name = entry.path().filename().string();
    if (IsHidden(name)) return;
    std::error_code ec;
    if (entry.is_symlink(ec) || !entry.is_directory(ec)) return;
    subfolders.push_back(name);
  });
  // Each subtree is finished before its next sibling is entered.
  for (const std::string& name : subfolders) {
    const std::string sub = Dir + name + "/";
    CollectMatchingFiles(sub, Ext);
    SearchSubdirectories(sub, Ext);
  }
}

}  // namespace tovasel
