#pragma once

#include <string>

namespace tovasel {

// True when both paths name one existing file: the same device and inode,
// whatever symbolic or hard links lead there.
bool SameFile(const std::string& first, const std::string& second);

// Raises EAppError "Output file <output> is the FLIC file <input> itself"
// when writing output would replace the file being converted.
void RefuseOutputOverInput(const std::string& input, const std::string& output);

}  // namespace tovasel
