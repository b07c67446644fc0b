#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "gif/lzw_codes.h"

namespace tovasel {

// One way of choosing strings by looking ahead: of the longest string and
// up to Shorter shorter ones, the one after which greedy strings cover the
// next Window pixels in the fewest bits.
struct TLzwLookAhead {
  int Shorter = 2;
  std::size_t Window = 16;
};

// Parses a frame's pixels (each below 2^MinCodeSize) into LZW codes.
// Reuses its tables from frame to frame.
class TLzwParser {
 public:
  TLzwParser();
  ~TLzwParser();
  TLzwParser(const TLzwParser&) = delete;
  TLzwParser& operator=(const TLzwParser&) = delete;

  // The longest string the table holds at each step, and a Clear where the
  // table would give code 4095: the plain GIF encoder's stream.
  void Plain(const std::uint8_t* pixels, std::size_t count, int minCodeSize, TLzwCodes& codes);
  // Longest strings, and a Clear wherever a fresh table is measured to cost
  // less than the one in use over the pixels ahead: early while a table
  // does not pay for its wider codes, later than a full table while it
  // keeps paying, or never.
  void PlaceClears(const std::uint8_t* pixels, std::size_t count, int minCodeSize, TLzwCodes& codes);
  // Parses each stretch of Codes (a parse of the same pixels) between its
  // Clear codes again, once for each of Looks: taking a shorter string
  // where the strings after it show that the string it leaves in the table
  // makes them shorter. Each stretch keeps its shortest parse.
  void ChooseStrings(const std::uint8_t* pixels, std::size_t count, std::span<const TLzwLookAhead> looks,
                     TLzwCodes& codes);

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

}  // namespace tovasel
