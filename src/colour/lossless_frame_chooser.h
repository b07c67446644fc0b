#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "colour/frame_symbols.h"
#include "colour/lzw_table_model.h"
#include "gif/colour_map.h"

namespace tovasel {

// One frame's box encoded: the local table (when it has one), the image
// data, and which index is transparent.
struct TEncodedFrame {
  bool Local = false;
  int LocalBits = 0;
  std::vector<TGIFColor> LocalTable;
  std::string Data;  // code size byte, sub-blocks, terminator
  int TransparentIndex = -1;

  std::size_t Size() const { return (Local ? 3 * (std::size_t{1} << LocalBits) : 0) + Data.size(); }
};

// Picks the smallest encoding of one frame's symbols: which unchanged
// pixels become transparent, and the global table or a local one, each cut
// to the smallest code size. Level 2 tries more ways of filling the
// unchanged pixels.
class TLosslessFrameChooser {
 public:
  // Global: the global table's colours (0xRRGGBB), possibly empty.
  TLosslessFrameChooser(std::vector<std::int32_t> global, int level);

  const std::vector<std::int32_t>& Global() const { return global_; }
  // The global table's bit count (0 without one).
  int GlobalBits() const { return globalBits_; }

  // Raises GIFException "Too many colours for one frame" when no table
  // holds the box's colours.
  TEncodedFrame Best(const TFrameSymbols& frame, int width, int height);

 private:
  // Maps the symbols to table indices and compresses them; false when the
  // table cannot hold them.
  bool Encode(const TFrameSymbols& frame, const std::vector<std::uint16_t>& symbols, int width, int height,
              bool local, int& globalBits, TEncodedFrame& result);

  const int level_;
  std::vector<std::int32_t> global_;
  std::unordered_map<std::int32_t, int> globalIndex_;
  int globalBits_ = 0;
  TLzwTableModel model_;
  std::vector<std::uint8_t> indices_;
  std::vector<int> tableIndex_;
};

}  // namespace tovasel
