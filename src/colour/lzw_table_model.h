#pragma once

#include <cstdint>
#include <vector>

#include "colour/frame_symbols.h"
#include "gif/lzw_dictionary.h"

namespace tovasel {

// Choices of the unchanged pixels of a frame made by following the string
// table the plain LZW parse will build for them. The codes it emits do not
// depend on which index a colour gets, only on the strings, so the table
// can be followed before the indices are known.
class TLzwTableModel {
 public:
  // At each unchanged pixel takes the colour or the transparent index,
  // whichever extends the current string, else whichever repeats the
  // symbol before. False when no index is left for transparency.
  bool MatchSymbols(const TFrameSymbols& frame, std::vector<std::uint16_t>& out);

 private:
  TLzwDictionary table_;
};

}  // namespace tovasel
