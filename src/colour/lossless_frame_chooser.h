#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "colour/frame_symbols.h"
#include "gif/colour_map.h"
#include "gif/lzw_parse.h"
#include "gif/lzw_parse.h"

namespace tovasel {

// One frame's box encoded: the local table (when it has one), the image
// data, and which index is transparent.
struct TEncodedFrame {
  bool Local = false;
  int LocalBits = 0;
  std::vector<TGIFColor> LocalTable;
  std::string Data;  // code size byte, sub-blocks, terminator
  int TransparentIndex = -1;
  bool Interlaced = false;

  std::size_t Size() const { return (Local ? 3 * (std::size_t{1} << LocalBits) : 0) + Data.size(); }
};

// Picks the smallest encoding of one frame's symbols: which unchanged
// pixels become transparent, the global table or a local one (each cut to
// the smallest code size), and the row order. Every candidate is measured
// with the plain LZW parse; the smallest are parsed again with more effort
// (level 1 places the Clear codes, level 2 also chooses the strings), and
// the smallest result stays. Level 2 also tries one more way of filling
// the unchanged pixels.
class TLosslessFrameChooser {
 public:
  // Global: the global table's colours (0xRRGGBB), possibly empty.
  TLosslessFrameChooser(std::vector<std::int32_t> global, int level);

  const std::vector<std::int32_t>& Global() const { return global_; }
  // The global table's bit count (0 without one).
  int GlobalBits() const { return globalBits_; }

  // The box is Width x Height. TransparencyCost: the bytes a transparent
  // index adds to the frame beyond its data (a graphic control extension it
  // needs for nothing else). Raises GIFException "Too many colours for one
  // frame" when no table holds the box's colours.
  TEncodedFrame Best(const TFrameSymbols& frame, int width, int height, std::size_t transparencyCost);
  // The plain conversion's way: every pixel its own colour (clear ones
  // transparent) in a local table, the plain LZW parse; false when more
  // colours than a table holds.
  bool Plain(const TFrameSymbols& frame, TEncodedFrame& result);

 private:
  // One way of writing the box: its table, its indices and their codes.
  struct TCandidate {
    bool Local = false;
    int LocalBits = 0;
    std::vector<TGIFColor> LocalTable;
    int TransparentIndex = -1;
    std::size_t Extra = 0;              // what its transparency costs beside the data
    std::vector<std::uint8_t> Indices;  // in picture order
    TLzwCodes Codes;                    // their plain parse

    std::size_t SizeWith(const TLzwCodes& codes) const {
      return (Local ? 3 * (std::size_t{1} << LocalBits) : 0) + codes.DataSize() + Extra;
    }
    std::size_t Size() const { return SizeWith(Codes); }
  };

  // A candidate's indices in one row order, and their best parse so far.
  struct TVariant {
    std::size_t Candidate = 0;
    bool Interlaced = false;
    std::vector<std::uint8_t> Pixels;  // the indices interlaced
    TLzwCodes Codes;
    std::size_t Size = 0;
  };

  static TEncodedFrame Encoded(const TCandidate& candidate, const TLzwCodes& codes, bool interlaced);
  void AddVariants(std::size_t c, int width, int height, std::size_t& variants);
  void ChooseStrings(TVariant& variant, std::span<const TLzwLookAhead> looks);

  // Maps the symbols to table indices and parses them plainly; false when
  // the table cannot hold them.
  bool Encode(const TFrameSymbols& frame, const std::vector<std::uint16_t>& symbols, bool local, int& globalBits,
              TCandidate& result);

  const int level_;
  std::vector<std::int32_t> global_;
  std::unordered_map<std::int32_t, int> globalIndex_;
  int globalBits_ = 0;
  TLzwParser parser_;
  std::vector<int> tableIndex_;
  std::vector<TCandidate> candidates_;
  std::vector<std::vector<std::uint16_t>> tried_;
  std::vector<std::uint16_t> filled_;
  std::vector<TVariant> variants_;
  TLzwCodes reparsed_;
  TCandidate plain_;
};

}  // namespace tovasel
