#include "support/shared_corpus.h"

#include <cstdlib>
#include <string_view>

namespace tovasel::testing {

std::filesystem::path CorpusFolder() { return std::filesystem::path(TOVASEL_SHARED_CORPUS) / "flic"; }

bool HaveCorpus() {
  if (std::filesystem::is_directory(CorpusFolder())) return true;
  const char* ci = std::getenv("CI");
  if (ci != nullptr && std::string_view(ci) == "true") {
    ADD_FAILURE() << "no shared corpus at " << CorpusFolder().string() << ", and CI=true needs it";
  }
  return false;
}

}  // namespace tovasel::testing
