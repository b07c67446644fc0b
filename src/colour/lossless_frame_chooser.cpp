#include "colour/lossless_frame_chooser.h"

#include <algorithm>
#include <array>
#include <sstream>

#include "gif/gif_exception.h"
#include "gif/image_walk.h"

namespace tovasel {

namespace {

// How unchanged pixels inside a frame's box are written.
enum class TFill : std::uint8_t {
  Colour,       // their own colour
  Transparent,  // the transparent index
  Follow,       // repeat the symbol before when it fits, else transparent
  Prefer,       // their own colour, unless a transparent run is going on
};

// Level 2's fills come after level 1's.
constexpr TFill kFills[] = {TFill::Colour, TFill::Transparent, TFill::Follow, TFill::Prefer};
constexpr std::size_t kLevelOneFills = 3;

// Fills the frame's symbols: each fill looks only at the symbol before.
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

// The rows of Indices in the order the interlaced layout stores them.
void Interlace(const std::vector<std::uint8_t>& indices, int width, int height, std::vector<std::uint8_t>& out) {
  out.resize(indices.size());
  auto to = out.begin();
  for (const int row : InterlacedRowOrder(height)) {
    const auto from = indices.begin() + static_cast<std::ptrdiff_t>(row) * width;
    to = std::copy(from, from + width, to);
  }
}

}  // namespace

TLosslessFrameChooser::TLosslessFrameChooser(std::vector<std::int32_t> global, int level)
    : level_(level), global_(std::move(global)) {
  for (std::size_t i = 0; i < global_.size(); ++i) globalIndex_.emplace(global_[i], static_cast<int>(i));
  if (!global_.empty()) globalBits_ = TableBits(static_cast<int>(global_.size()));
}

TEncodedFrame TLosslessFrameChooser::Best(const TFrameSymbols& frame, int width, int height,
                                          std::size_t transparencyCost) {
  const std::size_t fills = level_ >= 2 ? std::size(kFills) : kLevelOneFills;
  std::size_t count = 0;
  std::size_t levelOneCount = 0;
  tried_.clear();
  for (std::size_t f = 0; f < fills; ++f) {
    if (f == kLevelOneFills) levelOneCount = count;
    FillSymbols(frame, kFills[f], filled_);
    // Often several fills agree (a box where everything changed).
    if (std::find(tried_.begin(), tried_.end(), filled_) != tried_.end()) continue;
    tried_.push_back(filled_);
    int globalBits = 0;
    for (const bool local : {false, true}) {
      if (candidates_.size() <= count) candidates_.resize(count + 1);
      TCandidate& candidate = candidates_[count];
      if (Encode(frame, filled_, local, globalBits, candidate)) {
        candidate.Extra = candidate.TransparentIndex >= 0 ? transparencyCost : 0;
        ++count;
      }
    }
  }
  if (fills == kLevelOneFills) levelOneCount = count;
  if (count == 0) throw GIFException("Too many colours for one frame");

  // The smallest candidate by its plain parse is parsed again in both row
  // orders, placing Clear codes; level 2 also parses its second smallest,
  // then chooses the strings of the smallest result. Level 2 parses every
  // variant level 1 parses, so it never does worse on a frame.
  std::vector<std::size_t> order(count);
  for (std::size_t c = 0; c < count; ++c) order[c] = c;
  std::stable_sort(order.begin(), order.end(),
                   [this](std::size_t a, std::size_t b) { return candidates_[a].Size() < candidates_[b].Size(); });
  const std::size_t levelOneBest =
      *std::find_if(order.begin(), order.end(), [&](std::size_t c) { return c < levelOneCount; });
  std::size_t variants = 0;
  AddVariants(levelOneBest, width, height, variants);
  if (level_ >= 2) {
    for (std::size_t k = 0; k < std::min<std::size_t>(count, 2); ++k) {
      if (order[k] != levelOneBest) AddVariants(order[k], width, height, variants);
    }
  }
  std::size_t best = 0;
  for (std::size_t v = 0; v < variants; ++v) {
    if (variants_[v].Size < variants_[best].Size) best = v;
  }
  if (level_ >= 2) {
    // Which look-ahead window finds the shorter strings changes from frame
    // to frame: every variant tries a short one, the best so far longer ones.
    static constexpr TLzwLookAhead kFirst[] = {{2, 16}};
    static constexpr TLzwLookAhead kMore[] = {{2, 24}, {2, 64}};
    for (std::size_t v = 0; v < variants; ++v) ChooseStrings(variants_[v], kFirst);
    for (std::size_t v = 0; v < variants; ++v) {
      if (variants_[v].Size < variants_[best].Size) best = v;
    }
    ChooseStrings(variants_[best], kMore);
  }
  const TVariant& variant = variants_[best];
  return Encoded(candidates_[variant.Candidate], variant.Codes, variant.Interlaced);
}

bool TLosslessFrameChooser::Plain(const TFrameSymbols& frame, TEncodedFrame& result) {
  int globalBits = 0;
  if (!Encode(frame, frame.Symbols, true, globalBits, plain_)) return false;
  result = Encoded(plain_, plain_.Codes, false);
  return true;
}

TEncodedFrame TLosslessFrameChooser::Encoded(const TCandidate& candidate, const TLzwCodes& codes, bool interlaced) {
  TEncodedFrame result;
  result.Local = candidate.Local;
  result.LocalBits = candidate.LocalBits;
  result.LocalTable = candidate.LocalTable;
  result.TransparentIndex = candidate.TransparentIndex;
  result.Interlaced = interlaced;
  std::ostringstream data;
  WriteLzwCodes(data, codes);
  result.Data = std::move(data).str();
  return result;
}

void TLosslessFrameChooser::ChooseStrings(TVariant& variant, std::span<const TLzwLookAhead> looks) {
  const TCandidate& candidate = candidates_[variant.Candidate];
  const std::vector<std::uint8_t>& pixels = variant.Interlaced ? variant.Pixels : candidate.Indices;
  parser_.ChooseStrings(pixels.data(), pixels.size(), looks, variant.Codes);
  variant.Size = candidate.SizeWith(variant.Codes);
}

// Both row orders of candidate C, each parsed plainly and with Clear codes
// placed, the shorter parse kept.
void TLosslessFrameChooser::AddVariants(std::size_t c, int width, int height, std::size_t& variants) {
  const TCandidate& candidate = candidates_[c];
  const std::size_t first = variants;
  for (const bool interlaced : {false, true}) {
    // Fewer than three rows keep their order when interlaced.
    if (interlaced && height < 3) break;
    if (variants_.size() <= variants) variants_.resize(variants + 1);
    TVariant& variant = variants_[variants++];
    variant.Candidate = c;
    variant.Interlaced = interlaced;
    if (interlaced) {
      Interlace(candidate.Indices, width, height, variant.Pixels);
      parser_.Plain(variant.Pixels.data(), variant.Pixels.size(), candidate.Codes.MinCodeSize(), variant.Codes);
    } else {
      variant.Codes = candidate.Codes;
    }
    variant.Size = candidate.SizeWith(variant.Codes);
  }
  for (std::size_t v = first; v < variants; ++v) {
    TVariant& variant = variants_[v];
    const std::vector<std::uint8_t>& pixels = variant.Interlaced ? variant.Pixels : candidate.Indices;
    parser_.PlaceClears(pixels.data(), pixels.size(), candidate.Codes.MinCodeSize(), reparsed_);
    if (reparsed_.Bits() < variant.Codes.Bits()) {
      std::swap(variant.Codes, reparsed_);
      variant.Size = candidate.SizeWith(variant.Codes);
    }
  }
}

// A local table only pays when its code size is smaller than the global
// table's (GlobalBits, set by the global try; 0 when that failed): the same
// symbols at the same code size make the same codes.
bool TLosslessFrameChooser::Encode(const TFrameSymbols& frame, const std::vector<std::uint16_t>& symbols, bool local,
                                   int& globalBits, TCandidate& result) {
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

  result.Indices.resize(symbols.size());
  for (std::size_t k = 0; k < symbols.size(); ++k) {
    const std::uint16_t s = symbols[k];
    result.Indices[k] = static_cast<std::uint8_t>(s == kTransparentSymbol ? transparentIndex : index[s]);
  }
  result.Local = local;
  result.TransparentIndex = transparentIndex;
  result.LocalTable.clear();
  result.LocalBits = 0;
  if (local) {
    result.LocalTable.resize(static_cast<std::size_t>(used));
    for (std::size_t s = 0; s < frame.Colours.size(); ++s) {
      if (index[s] >= 0) result.LocalTable[static_cast<std::size_t>(index[s])] = EntryOf(frame.Colours[s]);
    }
    result.LocalBits = TableBits(used + (transparent ? 1 : 0));
  }
  parser_.Plain(result.Indices.data(), result.Indices.size(), codeBits, result.Codes);
  return true;
}

}  // namespace tovasel
