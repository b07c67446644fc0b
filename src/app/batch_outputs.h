#pragma once

#include <map>
#include <string>

namespace tovasel {

// The GIF files one batch has written, and from which FLIC file: x.flc and
// x.FLC in one folder both name x.gif, and the second must not replace the
// first.
class TBatchOutputs {
 public:
  // The GIF path for FlicPath (its extension replaced by ".gif"). Raises
  // EAppError when this batch already wrote that file.
  std::string Claim(const std::string& FlicPath) const;
  // Records that GifPath was written from FlicPath.
  void Written(const std::string& FlicPath, const std::string& GifPath);

 private:
  std::map<std::string, std::string> written_;  // GIF path -> FLIC path
};

}  // namespace tovasel
