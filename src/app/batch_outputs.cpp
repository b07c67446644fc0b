#include "app/batch_outputs.h"

#include "app/app_error.h"
#include "app/path_names.h"

namespace tovasel {

std::string TBatchOutputs::Claim(const std::string& FlicPath) const {
  std::string gif = StripExtension(FlicPath) + ".gif";
  if (const auto found = written_.find(gif); found != written_.end()) {
    throw EAppError("GIF file " + gif + " was already written from " + found->second);
  }
  return gif;
}

void TBatchOutputs::Written(const std::string& FlicPath, const std::string& GifPath) {
  written_.emplace(GifPath, FlicPath);
}

}  // namespace tovasel
