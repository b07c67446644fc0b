#pragma once

#include <cstdint>
#include <memory>

namespace tovasel {
class TScratchFile;
}

namespace tovasel::cli {

// The largest FLIC read from standard input: far beyond any real animation,
// small enough that a runaway pipe cannot fill the temporary folder.
inline constexpr std::uint64_t kMaxStandardInputBytes = std::uint64_t{256} << 20;

// Standard input copied into a scratch file in the temporary folder; raises
// EAppError when it cannot be read or written, or when it holds more than
// kMaxStandardInputBytes.
std::unique_ptr<TScratchFile> SpoolStandardInput();

}  // namespace tovasel::cli
