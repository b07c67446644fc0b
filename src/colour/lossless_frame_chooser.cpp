#include "colour/lossless_frame_chooser.h"

#include <algorithm>
#include <array>
#include <sstream>

#include "gif/gif_exception.h"
#include "gif/lzw_encoder.h"

namespace tovasel {

namespace {

// How unchanged pixels inside a frame's box are written.
enum class TFill : std::uint8_t {
  Colour,       // their own colour
  Transparent,  // the transparent index
  Follow,       // repeat the symbol before when it fits, else transparent
  Prefer,       // their own colour, unless a transparent run is going on
  Match,        // whichever continues a string the LZW table already holds
  MatchColour,  // as Match, but their own colour when neither continues one
  Longest,      // whichever makes the longest string the LZW table holds
};

// Fills the frame's symbols for one of the fills that look only at the
// symbol before.
void FillSymbols(const TFrameSymbols& frame, TFill fill, std::vector<std::uint16_t>& out) {
  const std::size_t count = frame.Count();
  out.resize(count);
  std::uint16_t before = kTransparentSymbol;
  for (std::size_t k = 0; k < count; ++k) {
    std::uint16_t s = frame.Symbols[k];
    if (frame.Unchanged[k] && s != kTransparentSymbol) {
      switch (fill) {
        case TFill::Colour: break;
        case TFill::Transparent: s = kTransparentSymbol; break;
        case TFill::Follow: s = before == s ? s : kTransparentSymbol; break;
        case TFill::Prefer: s = before == kTransparentSymbol ? kTransparentSymbol : s; break;
        case TFill::Match:
        case TFill::MatchColour:
        case TFill::Longest: break;
      }
    }
    out[k] = s;
    before = s;
  }
}

TGIFColor EntryOf(std::int32_t colour) {
  return {static_cast<std::uint8_t>((colour >> 16) & 0xFF), static_cast<std::uint8_t>((colour >> 8) & 0xFF),
          static_cast<std::uint8_t>(colour & 0xFF)};
}

// The image data (code size byte, sub-blocks, terminator) of Indices.
std::string CompressIndices(const std::vector<std::uint8_t>& indices, int width, int height, int bits) {
  std::ostringstream stream;
  TLZWEncoder encoder;
  encoder.CompressImage(stream, bits, 256, indices.data(), false, height, width);
  return std::move(stream).str();
}

}  // namespace

TLosslessFrameChooser::TLosslessFrameChooser(std::vector<std::int32_t> global, int level)
    : level_(level), global_(std::move(global)) {
  for (std::size_t i = 0; i < global_.size(); ++i) globalIndex_.emplace(global_[i], static_cast<int>(i));
  if (!global_.empty()) globalBits_ = TableBits(static_cast<int>(global_.size()));
}

TEncodedFrame TLosslessFrameChooser::Best(const TFrameSymbols& frame, int width, int height) {
  std::vector<TFill> fills = {TFill::Colour, TFill::Transparent, TFill::Follow, TFill::Match};
  if (level_ >= 2) fills.insert(fills.end(), {TFill::Prefer, TFill::MatchColour, TFill::Longest});
  TEncodedFrame best;
  bool found = false;
  std::vector<std::vector<std::uint16_t>> tried;
  std::vector<std::uint16_t> filled;
  for (const TFill fill : fills) {
    if (fill == TFill::Longest) {
      if (!model_.LongestSymbols(frame, filled)) continue;
    } else if (fill == TFill::Match || fill == TFill::MatchColour) {
      if (!model_.MatchSymbols(frame, fill == TFill::MatchColour, filled)) continue;
    } else {
      FillSymbols(frame, fill, filled);
    }
    // Often several fills agree (a box where everything changed).
    if (std::find(tried.begin(), tried.end(), filled) != tried.end()) continue;
    tried.push_back(filled);
    int globalBits = 0;
    for (const bool local : {false, true}) {
      TEncodedFrame candidate;
      if (!Encode(frame, filled, width, height, local, globalBits, candidate)) continue;
      if (!found || candidate.Size() < best.Size()) {
        best = std::move(candidate);
        found = true;
      }
    }
  }
  if (!found) throw GIFException("Too many colours for one frame");
  return best;
}

// A local table only pays when its code size is smaller than the global
// table's (GlobalBits, set by the global try; 0 when that failed): the same
// symbols at the same code size make the same codes.
bool TLosslessFrameChooser::Encode(const TFrameSymbols& frame, const std::vector<std::uint16_t>& symbols, int width,
                                   int height, bool local, int& globalBits, TEncodedFrame& result) {
  // Ids run past 256 when the box shows more colours than one table holds
  // (older ones through transparency); the used ones still may fit.
  std::vector<int>& index = tableIndex_;
  index.assign(frame.Colours.size(), -1);
  std::array<bool, 256> taken{};
  bool transparent = false;
  int used = 0;
  int largest = 0;
  for (const std::uint16_t s : symbols) {
    if (s == kTransparentSymbol) {
      transparent = true;
      continue;
    }
    if (index[s] >= 0) continue;
    if (local) {
      index[s] = used;
    } else {
      const auto it = globalIndex_.find(frame.Colours[s]);
      if (it == globalIndex_.end()) return false;
      index[s] = it->second;
      taken[static_cast<std::size_t>(it->second)] = true;
    }
    largest = std::max(largest, index[s]);
    ++used;
  }
  int transparentIndex = -1;
  if (transparent) {
    if (local) {
      transparentIndex = used;
    } else {
      // Any entry this frame does not use serves; the lowest keeps the code
      // size down.
      const int size = global_.empty() ? 0 : 1 << globalBits_;
      transparentIndex = 0;
      while (transparentIndex < size && taken[static_cast<std::size_t>(transparentIndex)]) ++transparentIndex;
      if (transparentIndex >= size) return false;
    }
    largest = std::max(largest, transparentIndex);
  }
  if (local && used + (transparent ? 1 : 0) > 256) return false;
  const int codeBits = std::max(2, TableBits(largest + 1));
  if (!local) globalBits = codeBits;
  if (local && globalBits != 0 && codeBits >= globalBits) return false;

  indices_.resize(symbols.size());
  for (std::size_t k = 0; k < symbols.size(); ++k) {
    const std::uint16_t s = symbols[k];
    indices_[k] = static_cast<std::uint8_t>(s == kTransparentSymbol ? transparentIndex : index[s]);
  }
  result = {};
  result.Local = local;
  result.TransparentIndex = transparentIndex;
  if (local) {
    result.LocalTable.resize(static_cast<std::size_t>(used));
    for (std::size_t s = 0; s < frame.Colours.size(); ++s) {
      if (index[s] >= 0) result.LocalTable[static_cast<std::size_t>(index[s])] = EntryOf(frame.Colours[s]);
    }
    result.LocalBits = TableBits(used + (transparent ? 1 : 0));
  }
  result.Data = CompressIndices(indices_, width, height, codeBits);
  return true;
}

}  // namespace tovasel
