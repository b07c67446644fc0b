#pragma once

#include <cstdint>
#include <cstring>

namespace tovasel {

// Eight pixel indices read or written as one word, for the loops that skip
// runs of one index. memcpy keeps the access legal at any alignment and
// compiles to a plain load or store.
inline constexpr std::uint64_t kByteOnes = 0x0101010101010101ULL;

inline std::uint64_t Load8(const std::uint8_t* p) {
  std::uint64_t w;
  std::memcpy(&w, p, 8);
  return w;
}

inline void Store8(std::uint8_t* p, std::uint64_t w) { std::memcpy(p, &w, 8); }

// Whether the word holds one index eight times.
inline bool Uniform(std::uint64_t w) { return w == kByteOnes * (w & 0xFF); }

}  // namespace tovasel
