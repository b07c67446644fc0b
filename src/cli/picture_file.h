#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace tovasel::cli {

// Stores a picture as a GIF is stored (StoreFileSafely): in a temporary
// file beside path, renamed over it only when complete, so a full disk or
// an interruption never leaves a partial picture or replaces a whole one.
// Every failure raises TPlainError naming the file, such as
// "Cannot write file <path>".
void StorePicture(const std::string& path, const std::function<void(std::ostream& out)>& write);

}  // namespace tovasel::cli
