#pragma once

#include <string>

namespace tovasel {

// Path without its extension: the text from the last "." that stands after
// the last "/" is removed; a path without such a dot comes back whole.
std::string StripExtension(const std::string& Path);

// The file-name part of a path: everything after the last "/".
std::string FileNamePart(const std::string& Path);

}  // namespace tovasel
