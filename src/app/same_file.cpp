#include "app/same_file.h"

#include <sys/stat.h>

#include "app/app_error.h"

namespace tovasel {

bool SameFile(const std::string& first, const std::string& second) {
  struct stat a {};
  struct stat b {};
  if (::stat(first.c_str(), &a) != 0 || ::stat(second.c_str(), &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void RefuseOutputOverInput(const std::string& input, const std::string& output) {
  if (SameFile(input, output)) throw EAppError("Output file " + output + " is the FLIC file " + input + " itself");
}

}  // namespace tovasel
