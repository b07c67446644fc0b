#pragma once

#include <cstdint>
#include <vector>

namespace tovasel {
class TFlicDecoder;
}

namespace tovasel::cli {

// The largest FLIC read from standard input: far beyond any real animation,
// small enough that a runaway pipe cannot take the machine's memory.
inline constexpr std::uint64_t kMaxStandardInputBytes = std::uint64_t{256} << 20;

// A FLIC file from standard input, checked before the rest is read: the
// 128-byte header first, refused as Decoder would refuse a file with it
// ("Cannot open FLIC file standard input: not a FLIC file (...)"), then
// the rest up to the header's size field or kMaxStandardInputBytes,
// whichever comes first, into one block of that size. Raises EAppError when
// standard input cannot be read or holds more than kMaxStandardInputBytes.
std::vector<std::uint8_t> ReadStandardInput(const TFlicDecoder& decoder);

}  // namespace tovasel::cli
