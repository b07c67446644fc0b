#pragma once

#include <cstdint>
#include <vector>

#include "colour/frame_symbols.h"
#include "gif/lzw_encoder.h"

namespace tovasel {

// Choices of the unchanged pixels of a frame made by following the string
// table the LZW compressor will build for them. The codes it emits do not
// depend on which index a colour gets, only on the strings, so the table
// can be followed before the indices are known.
class TLzwTableModel {
 public:
  // At each unchanged pixel takes the colour or the transparent index,
  // whichever extends the current string; with PreferColour the colour when
  // neither does, else whichever repeats the symbol before. False when no
  // index is left for transparency.
  bool MatchSymbols(const TFrameSymbols& frame, bool preferColour, std::vector<std::uint16_t>& out);

  // Parses the pixels as the compressor will, each string as long as the
  // table allows with unchanged pixels free to be either symbol (looking a
  // bounded number of strings ahead). False as MatchSymbols.
  bool LongestSymbols(const TFrameSymbols& frame, std::vector<std::uint16_t>& out);

 private:
  TLZWStringTable& EmptyTable();
  // Length of the longest string the table holds that continues Code from
  // pixel K on, looking at no more than Budget strings.
  int LongestFrom(const TFrameSymbols& frame, int code, std::size_t k, int& budget);

  // Large (64 KiB), so made once and cleared for each frame.
  std::vector<TLZWStringTable> table_;
};

}  // namespace tovasel
