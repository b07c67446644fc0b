#include "app/path_names.h"

namespace tovasel {

std::string StripExtension(const std::string& Path) {
  const std::size_t dot = Path.rfind('.');
  if (dot == std::string::npos) return Path;
  const std::size_t slash = Path.rfind('/');
  if (slash != std::string::npos && slash > dot) return Path;
  return Path.substr(0, dot);
}

std::string FileNamePart(const std::string& Path) {
  const std::size_t slash = Path.rfind('/');
  return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

}  // namespace tovasel
