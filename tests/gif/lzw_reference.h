#pragma once

// The one reference every LZW test measures the encoder against: a plain
// encoder written straight from the format's rules, slow and simple.

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace tovasel::testing {

// A plain LZW encoder written straight from the rules, with an ordered map for
// its string table, producing the image data block by block.
inline std::vector<std::uint8_t> ReferenceImageData(const std::vector<std::uint8_t>& pixels, int bits) {
  const int minCodeSize = std::max(bits, 2);
  const int clear = 1 << minCodeSize;
  int width = minCodeSize + 1;
  int limit = (1 << width) - 1;
  int nextCode = clear + 2;
  bool resetPending = false;
  std::uint64_t accumulator = 0;
  int bitCount = 0;
  std::vector<std::uint8_t> data;
  std::map<std::pair<int, int>, int> table;
  auto emit = [&](int code) {
    accumulator |= static_cast<std::uint64_t>(code) << bitCount;
    bitCount += width;
    while (bitCount >= 8) {
      data.push_back(static_cast<std::uint8_t>(accumulator));
      accumulator >>= 8;
      bitCount -= 8;
    }
    if (resetPending) {
      width = minCodeSize + 1;
      limit = (1 << width) - 1;
      resetPending = false;
    } else if (nextCode > limit) {
      ++width;
      limit = width == 12 ? 4096 : (1 << width) - 1;
    }
  };
  auto reset = [&] {
    resetPending = true;
    emit(clear);
    table.clear();
    nextCode = clear + 2;
  };
  reset();
  int prefix = pixels[0];
  for (std::size_t i = 1; i < pixels.size(); ++i) {
    const auto found = table.find({prefix, pixels[i]});
    if (found != table.end()) {
      prefix = found->second;
      continue;
    }
    emit(prefix);
    if (nextCode < 4095) {
      table[{prefix, pixels[i]}] = nextCode++;
    } else {
      reset();
    }
    prefix = pixels[i];
  }
  emit(prefix);
  emit(clear + 1);
  if (bitCount > 0) data.push_back(static_cast<std::uint8_t>(accumulator));

  std::vector<std::uint8_t> blocks = {static_cast<std::uint8_t>(minCodeSize)};
  for (std::size_t at = 0; at < data.size(); at += 255) {
    const std::size_t n = std::min<std::size_t>(255, data.size() - at);
    blocks.push_back(static_cast<std::uint8_t>(n));
    blocks.insert(blocks.end(), data.begin() + static_cast<long>(at),
                  data.begin() + static_cast<long>(at + n));
  }
  blocks.push_back(0);
  return blocks;
}

// The rows of a width x height picture in the order an interlaced frame
// stores them: every 8th row from 0, every 8th from 4, every 4th from 2,
// every 2nd from 1.
inline std::vector<std::uint8_t> InterlaceOrder(const std::vector<std::uint8_t>& pixels, int width, int height) {
  std::vector<std::uint8_t> ordered;
  ordered.reserve(pixels.size());
  const int starts[] = {0, 4, 2, 1};
  const int steps[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int y = starts[pass]; y < height; y += steps[pass]) {
      const auto row = pixels.begin() + static_cast<std::ptrdiff_t>(y) * width;
      ordered.insert(ordered.end(), row, row + width);
    }
  }
  return ordered;
}

}  // namespace tovasel::testing
