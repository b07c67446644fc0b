#include "colour/index_loops.h"

#include <algorithm>
#include <cstring>

#include "imaging/byte_words.h"

namespace tovasel {

void CountIndices(const std::uint8_t* pixels, std::size_t size, TIndexCounts& counts) {
  if (size < 1024) {
    for (std::size_t i = 0; i < size; ++i) ++counts[pixels[i]];
    return;
  }
  // Four tables, so that a run of one index does not wait for each store to
  // its counter to land before the next increment; 32-bit counters keep
  // them in a few cache lines, and blocks keep them from overflowing.
  constexpr std::size_t kBlock = std::size_t{1} << 31;
  std::array<std::array<std::uint32_t, 256>, 4> sub;
  while (size > 0) {
    const std::size_t n = std::min(size, kBlock);
    for (auto& table : sub) table.fill(0);
    std::size_t i = 0;
    while (i + 8 <= n) {
      const std::uint64_t w = Load8(pixels + i);
      if (Uniform(w)) {
        const std::size_t start = i;
        i += 8;
        while (i + 8 <= n && Load8(pixels + i) == w) i += 8;
        sub[0][w & 0xFF] += static_cast<std::uint32_t>(i - start);
        continue;
      }
      ++sub[0][w & 0xFF];
      ++sub[1][(w >> 8) & 0xFF];
      ++sub[2][(w >> 16) & 0xFF];
      ++sub[3][(w >> 24) & 0xFF];
      ++sub[0][(w >> 32) & 0xFF];
      ++sub[1][(w >> 40) & 0xFF];
      ++sub[2][(w >> 48) & 0xFF];
      ++sub[3][w >> 56];
      i += 8;
    }
    for (; i < n; ++i) ++sub[0][pixels[i]];
    for (std::size_t v = 0; v < 256; ++v) {
      counts[v] += std::int64_t{sub[0][v]} + sub[1][v] + sub[2][v] + sub[3][v];
    }
    pixels += n;
    size -= n;
  }
}

void TranslatePixels(std::uint8_t* pixels, std::size_t size, const TColorTranslation& table) {
  TranslatePixels(pixels, pixels, size, table);
}

void TranslatePixels(const std::uint8_t* in, std::uint8_t* out, std::size_t size, const TColorTranslation& table) {
  std::size_t i = 0;
  while (i + 8 <= size) {
    const std::uint64_t w = Load8(in + i);
    if (Uniform(w)) {
      const std::uint64_t to = kByteOnes * table[w & 0xFF];
      // Each word is read before it is written, so out may be in.
      do {
        Store8(out + i, to);
        i += 8;
      } while (i + 8 <= size && Load8(in + i) == w);
      continue;
    }
    // Eight lookups per load and store; each byte keeps its place in the
    // word whatever the byte order.
    const std::uint64_t to =
        std::uint64_t{table[w & 0xFF]} | std::uint64_t{table[(w >> 8) & 0xFF]} << 8 |
        std::uint64_t{table[(w >> 16) & 0xFF]} << 16 | std::uint64_t{table[(w >> 24) & 0xFF]} << 24 |
        std::uint64_t{table[(w >> 32) & 0xFF]} << 32 | std::uint64_t{table[(w >> 40) & 0xFF]} << 40 |
        std::uint64_t{table[(w >> 48) & 0xFF]} << 48 | std::uint64_t{table[w >> 56]} << 56;
    Store8(out + i, to);
    i += 8;
  }
  for (; i < size; ++i) out[i] = table[in[i]];
}

}  // namespace tovasel
