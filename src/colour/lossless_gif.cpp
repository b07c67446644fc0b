#include "colour/lossless_gif.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <sstream>
#include <unordered_map>
#include <vector>

#include "gif/gif_exception.h"
#include "gif/lzw_encoder.h"

namespace tovasel {

namespace {

// A frame symbol that is no colour: the frame's transparent index.
constexpr std::uint16_t kTransparentSymbol = 0xFFFF;

struct TBox {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;  // right and bottom exclusive
  bool Empty() const { return Right <= Left || Bottom <= Top; }
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  void Include(const TBox& other) {
    if (other.Empty()) return;
    if (Empty()) {
      *this = other;
      return;
    }
    Left = std::min(Left, other.Left);
    Top = std::min(Top, other.Top);
    Right = std::max(Right, other.Right);
    Bottom = std::max(Bottom, other.Bottom);
  }
};

// The box around every pixel where Differs(a, b) holds; equal rows are
// skipped whole, which is what most rows of an animation are.
template <typename Differs>
TBox BoxWhere(const std::int32_t* a, const std::int32_t* b, int width, int height, Differs differs) {
  TBox box;
  box.Left = width;
  box.Top = height;
  for (int y = 0; y < height; ++y) {
    const std::int32_t* ra = a + static_cast<std::size_t>(y) * width;
    const std::int32_t* rb = b + static_cast<std::size_t>(y) * width;
    if (std::memcmp(ra, rb, sizeof(std::int32_t) * width) == 0) continue;
    int first = 0;
    while (first < width && !differs(ra[first], rb[first])) ++first;
    if (first == width) continue;
    int last = width - 1;
    while (!differs(ra[last], rb[last])) --last;
    box.Left = std::min(box.Left, first);
    box.Right = std::max(box.Right, last + 1);
    box.Top = std::min(box.Top, y);
    box.Bottom = y + 1;
  }
  if (box.Right == 0) return {};
  return box;
}

// Smallest table bit count (at least 1) whose table holds Count entries.
int TableBits(int count) {
  int bits = 1;
  while ((1 << bits) < count) ++bits;
  return bits;
}

void PutWord(std::string& out, int value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void PutTable(std::string& out, const std::vector<std::int32_t>& colours, int bits) {
  for (int i = 0; i < (1 << bits); ++i) {
    const std::int32_t c = i < static_cast<int>(colours.size()) ? colours[i] : 0;
    out.push_back(static_cast<char>((c >> 16) & 0xFF));
    out.push_back(static_cast<char>((c >> 8) & 0xFF));
    out.push_back(static_cast<char>(c & 0xFF));
  }
}

// The image data (code size byte, sub-blocks, terminator) of Indices.
std::string CompressIndices(const std::vector<std::uint8_t>& indices, int width, int height, int bits) {
  std::ostringstream stream;
  TLZWEncoder encoder;
  encoder.CompressImage(stream, bits, 256, indices.data(), false, height, width);
  return std::move(stream).str();
}

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

struct TEncodedFrame {
  std::string Bytes;  // local table (if any) and image data
  bool Local = false;
  int LocalBits = 0;
  int TransparentIndex = -1;
};

class TLosslessEncoder {
 public:
  TLosslessEncoder(const TLosslessSource& source, int level, std::vector<std::int32_t> global)
      : source_(source), level_(level), global_(std::move(global)) {
    for (std::size_t i = 0; i < global_.size(); ++i) {
      globalIndex_.emplace(global_[i], static_cast<int>(i));
    }
    const std::size_t pixels = static_cast<std::size_t>(source.Width) * source.Height;
    shown_.assign(pixels, kClearPixel);
    pending_.resize(pixels);
    next_.resize(pixels);
  }

  std::string Run() {
    WriteHeader();
    std::int64_t frames = 0;
    std::uint32_t pendingDelay = 0;
    for (std::int64_t i = 0; i < source_.Count; ++i) {
      if (source_.Step) source_.Step();
      std::uint16_t delay = 0;
      const std::int32_t* picture = source_.Picture(i, delay);
      std::copy(picture, picture + next_.size(), next_.begin());
      // A picture equal to the one before only lengthens it.
      if (i > 0 && pendingDelay + delay <= 0xFFFF && next_ == pending_) {
        pendingDelay += delay;
        continue;
      }
      if (i > 0) {
        EmitFrame(static_cast<std::uint16_t>(pendingDelay), &next_, frames == 0);
        ++frames;
      }
      std::swap(pending_, next_);
      pendingDelay = delay;
    }
    if (source_.Count > 0) EmitFrame(static_cast<std::uint16_t>(pendingDelay), nullptr, frames == 0);
    out_.push_back(';');
    return std::move(out_);
  }

 private:
  void WriteHeader() {
    out_ = "GIF89a";
    PutWord(out_, source_.Width);
    PutWord(out_, source_.Height);
    if (global_.empty()) {
      out_.append({0, 0, 0});
    } else {
      globalBits_ = TableBits(static_cast<int>(global_.size()));
      out_.push_back(static_cast<char>(0x80 | ((globalBits_ - 1) << 4) | (globalBits_ - 1)));
      out_.append({0, 0});
      PutTable(out_, global_, globalBits_);
    }
  }

  // Writes pending_ as a frame over shown_; Next is the picture after it,
  // whose cleared pixels this frame's disposal must clear.
  void EmitFrame(std::uint16_t delay, const std::vector<std::int32_t>* next, bool first) {
    const int width = source_.Width, height = source_.Height;
    TBox box = BoxWhere(pending_.data(), shown_.data(), width, height,
                        [](std::int32_t a, std::int32_t b) { return a != b; });
    TBox clearing;
    if (next != nullptr) {
      // A pixel that clears differs, so equal rows hold none.
      clearing = BoxWhere(pending_.data(), next->data(), width, height,
                          [](std::int32_t a, std::int32_t b) { return a != kClearPixel && b == kClearPixel; });
    }
    box.Include(clearing);
    // The format has no empty frame: one pixel shows its picture again.
    if (box.Empty()) box = {0, 0, std::min(width, 1), std::min(height, 1)};
    const int disposal = clearing.Empty() ? 1 : 2;

    CollectSymbols(box);
    const TEncodedFrame best = BestEncoding(box);

    if (first) {
      static const char kLoop[] = "\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00";
      out_.append(kLoop, sizeof kLoop - 1);
    }
    // Without a delay, transparency or clearing, a frame shows the same
    // without its graphic control extension.
    if (delay != 0 || best.TransparentIndex >= 0 || disposal == 2) {
      out_.append({'\x21', '\xF9', '\x04'});
      out_.push_back(static_cast<char>((disposal << 2) | (best.TransparentIndex >= 0 ? 1 : 0)));
      PutWord(out_, delay);
      out_.push_back(static_cast<char>(std::max(best.TransparentIndex, 0)));
      out_.push_back('\0');
    }
    out_.push_back(',');
    PutWord(out_, box.Left);
    PutWord(out_, box.Top);
    PutWord(out_, box.Width());
    PutWord(out_, box.Height());
    out_.push_back(static_cast<char>(best.Local ? 0x80 | (best.LocalBits - 1) : 0));
    out_.append(best.Bytes);

    // What a decoder shows before the next frame; outside the box the shown
    // picture already is the pending one.
    for (int y = box.Top; y < box.Bottom; ++y) {
      const std::size_t row = static_cast<std::size_t>(y) * width;
      std::int32_t* shown = shown_.data() + row;
      if (disposal == 2) {
        std::fill(shown + box.Left, shown + box.Right, kClearPixel);
      } else {
        std::copy(pending_.data() + row + box.Left, pending_.data() + row + box.Right, shown + box.Left);
      }
    }
  }

  // The box's pixels as colour ids in order of appearance, and which of
  // them repeat what is shown already.
  void CollectSymbols(const TBox& box) {
    const int width = source_.Width;
    const std::size_t count = static_cast<std::size_t>(box.Width()) * box.Height();
    symbols_.resize(count);
    unchanged_.resize(count);
    colours_.clear();
    ids_.clear();
    std::int32_t lastColour = kClearPixel;
    std::uint16_t lastId = kTransparentSymbol;
    std::size_t k = 0;
    for (int y = box.Top; y < box.Bottom; ++y) {
      const std::int32_t* target = pending_.data() + static_cast<std::size_t>(y) * width;
      const std::int32_t* shown = shown_.data() + static_cast<std::size_t>(y) * width;
      for (int x = box.Left; x < box.Right; ++x, ++k) {
        const std::int32_t colour = target[x];
        unchanged_[k] = colour == shown[x];
        if (colour == kClearPixel) {
          // Only a pixel nothing ever painted (or a disposal cleared) can
          // stay clear; a painted one would need the disposal before.
          if (!unchanged_[k]) throw GIFException("Cannot clear a pixel without disposal");
          symbols_[k] = kTransparentSymbol;
          continue;
        }
        if (colour != lastColour) {
          auto [it, added] = ids_.try_emplace(colour, static_cast<std::uint16_t>(colours_.size()));
          if (added) colours_.push_back(colour);
          lastColour = colour;
          lastId = it->second;
        }
        symbols_[k] = lastId;
      }
    }
  }

  // Fills the frame's symbols for one way of writing unchanged pixels.
  void FillSymbols(TFill fill, std::vector<std::uint16_t>& out) const {
    const std::size_t count = symbols_.size();
    out.resize(count);
    std::uint16_t before = kTransparentSymbol;
    for (std::size_t k = 0; k < count; ++k) {
      std::uint16_t s = symbols_[k];
      if (unchanged_[k] && s != kTransparentSymbol) {
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

  // The first code the compressor assigns to a string: the colours and the
  // transparent index, then Clear and End.
  int FirstFreeCode() const {
    return (1 << std::max(2, TableBits(static_cast<int>(colours_.size()) + 1))) + 2;
  }

  TLZWStringTable& EmptyMatchTable() {
    if (!matchTable_) matchTable_ = std::make_unique<TLZWStringTable>();
    matchTable_->Clear();
    return *matchTable_;
  }

  // Follows the LZW table the compressor will build (the codes do not
  // depend on which index a colour gets) and, at each unchanged pixel, takes
  // the colour or the transparent index, whichever extends the current
  // string; false when no index is left for transparency.
  bool MatchSymbols(bool preferColour, std::vector<std::uint16_t>& out) {
    if (colours_.size() >= 256) return false;
    const int firstFree = FirstFreeCode();
    TLZWStringTable& table = EmptyMatchTable();
    int nextCode = firstFree;
    int prefix = -1;
    const std::size_t count = symbols_.size();
    out.resize(count);
    std::uint16_t before = kTransparentSymbol;
    for (std::size_t k = 0; k < count; ++k) {
      std::uint16_t s = symbols_[k];
      if (unchanged_[k] && s != kTransparentSymbol) {
        const auto held = [&](std::uint16_t v) {
          return prefix >= 0 && table.FindOrInsert((static_cast<std::uint32_t>(prefix) << 8) | SymbolOf(v), -1) >= 0;
        };
        if (!held(s) && (held(kTransparentSymbol) || (!preferColour && before != s))) s = kTransparentSymbol;
      }
      out[k] = s;
      before = s;
      const std::uint32_t v = SymbolOf(s);
      if (prefix < 0) {
        prefix = static_cast<int>(v);
        continue;
      }
      const bool canAssign = nextCode <= TLZWEncoder::LastAssignedCode;
      const int code = table.FindOrInsert((static_cast<std::uint32_t>(prefix) << 8) | v, canAssign ? nextCode : -1);
      if (code >= 0) {
        prefix = code;
        continue;
      }
      prefix = static_cast<int>(v);
      if (canAssign) {
        ++nextCode;
      } else {
        table.Clear();
        nextCode = firstFree;
      }
    }
    return true;
  }

  // The symbols pixel K may take: its own, and the transparent index when
  // it repeats what is shown.
  int Choices(std::size_t k, std::array<std::uint16_t, 2>& choices) const {
    choices[0] = symbols_[k];
    if (!unchanged_[k] || choices[0] == kTransparentSymbol) return 1;
    choices[1] = kTransparentSymbol;
    return 2;
  }

  // Length of the longest string the table holds that continues Code from
  // pixel K on, looking at no more than Budget strings.
  int LongestFrom(int code, std::size_t k, int& budget) const {
    if (k >= symbols_.size() || budget <= 0) return 0;
    --budget;
    std::array<std::uint16_t, 2> choices{};
    const int n = Choices(k, choices);
    int best = 0;
    for (int c = 0; c < n; ++c) {
      const int child = matchTable_->FindOrInsert((static_cast<std::uint32_t>(code) << 8) | SymbolOf(choices[c]), -1);
      if (child >= 0) best = std::max(best, 1 + LongestFrom(child, k + 1, budget));
    }
    return best;
  }

  std::uint32_t SymbolOf(std::uint16_t s) const {
    return s == kTransparentSymbol ? static_cast<std::uint32_t>(colours_.size()) : s;
  }

  // Parses the pixels as the compressor will, each string as long as the
  // table allows with unchanged pixels free to be either symbol.
  bool LongestSymbols(std::vector<std::uint16_t>& out) {
    if (colours_.size() >= 256) return false;
    const int firstFree = FirstFreeCode();
    TLZWStringTable& table = EmptyMatchTable();
    int nextCode = firstFree;
    int prefix = -1;
    const std::size_t count = symbols_.size();
    out.resize(count);
    std::array<std::uint16_t, 2> choices{};
    // Picks the choice at K whose string from Code runs longest; -1 when
    // none continues Code.
    const auto pick = [&](int code, std::size_t k, int& next) {
      const int n = Choices(k, choices);
      int bestChoice = -1, bestLength = -1;
      for (int c = 0; c < n; ++c) {
        const int child =
            code < 0 ? static_cast<int>(SymbolOf(choices[c]))
                     : table.FindOrInsert((static_cast<std::uint32_t>(code) << 8) | SymbolOf(choices[c]), -1);
        if (child < 0) continue;
        int budget = 64;
        const int length = n == 1 ? 0 : LongestFrom(child, k + 1, budget);
        if (length > bestLength) {
          bestLength = length;
          bestChoice = c;
          next = child;
        }
      }
      return bestChoice < 0 ? -1 : static_cast<int>(choices[bestChoice]);
    };
    std::size_t k = 0;
    while (k < count) {
      int code = 0;
      const int first = pick(-1, k, code);
      out[k] = static_cast<std::uint16_t>(first);
      if (prefix >= 0) {
        if (nextCode <= TLZWEncoder::LastAssignedCode) {
          table.FindOrInsert((static_cast<std::uint32_t>(prefix) << 8) | SymbolOf(out[k]), nextCode++);
        } else {
          table.Clear();
          nextCode = firstFree;
        }
      }
      for (++k; k < count; ++k) {
        int child = 0;
        const int s = pick(code, k, child);
        if (s < 0) break;
        out[k] = static_cast<std::uint16_t>(s);
        code = child;
      }
      prefix = code;
    }
    return true;
  }

  TEncodedFrame BestEncoding(const TBox& box) {
    std::vector<TFill> fills = {TFill::Colour, TFill::Transparent, TFill::Follow, TFill::Match};
    if (level_ >= 2) fills.insert(fills.end(), {TFill::Prefer, TFill::MatchColour, TFill::Longest});
    TEncodedFrame best;
    bool found = false;
    std::vector<std::vector<std::uint16_t>> tried;
    std::vector<std::uint16_t> filled;
    for (const TFill fill : fills) {
      if (fill == TFill::Longest) {
        if (!LongestSymbols(filled)) continue;
      } else if (fill == TFill::Match || fill == TFill::MatchColour) {
        if (!MatchSymbols(fill == TFill::MatchColour, filled)) continue;
      } else {
        FillSymbols(fill, filled);
      }
      // Often several fills agree (a box where everything changed).
      if (std::find(tried.begin(), tried.end(), filled) != tried.end()) continue;
      tried.push_back(filled);
      int globalBits = 0;
      for (const bool local : {false, true}) {
        TEncodedFrame candidate;
        if (!Encode(filled, box, local, globalBits, candidate)) continue;
        if (!found || candidate.Bytes.size() < best.Bytes.size()) {
          best = std::move(candidate);
          found = true;
        }
      }
    }
    if (!found) throw GIFException("Too many colours for one frame");
    return best;
  }

  // Maps the symbols to table indices and compresses them; false when the
  // table cannot hold them.
  // A local table only pays when its code size is smaller than the global
  // table's (GlobalBits, set by the global try; 0 when that failed): the
  // same symbols at the same code size make the same codes.
  bool Encode(const std::vector<std::uint16_t>& symbols, const TBox& box, bool local, int& globalBits,
              TEncodedFrame& result) {
    // Ids run past 256 when the box shows more colours than one table holds
    // (older ones through transparency); the used ones still may fit.
    std::vector<int>& index = tableIndex_;
    index.assign(colours_.size(), -1);
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
        const auto it = globalIndex_.find(colours_[s]);
        if (it == globalIndex_.end()) return false;
        index[s] = it->second;
        taken[it->second] = true;
      }
      largest = std::max(largest, index[s]);
      ++used;
    }
    int transparentIndex = -1;
    if (transparent) {
      if (local) {
        transparentIndex = used;
      } else {
        // Any entry this frame does not use serves; the lowest keeps the
        // code size down.
        const int size = global_.empty() ? 0 : 1 << globalBits_;
        transparentIndex = 0;
        while (transparentIndex < size && taken[transparentIndex]) ++transparentIndex;
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
      std::vector<std::int32_t> table(static_cast<std::size_t>(used));
      for (int s = 0; s < static_cast<int>(colours_.size()); ++s) {
        if (index[s] >= 0) table[index[s]] = colours_[s];
      }
      result.LocalBits = TableBits(used + (transparent ? 1 : 0));
      PutTable(result.Bytes, table, result.LocalBits);
    }
    result.Bytes += CompressIndices(indices_, box.Width(), box.Height(), codeBits);
    return true;
  }

  const TLosslessSource& source_;
  int level_;
  std::vector<std::int32_t> global_;
  std::unordered_map<std::int32_t, int> globalIndex_;
  int globalBits_ = 0;
  std::string out_;
  std::vector<std::int32_t> shown_, pending_, next_;
  std::vector<std::uint16_t> symbols_;
  std::vector<std::uint8_t> unchanged_;
  std::vector<std::int32_t> colours_;
  std::unordered_map<std::int32_t, std::uint16_t> ids_;
  std::vector<std::uint8_t> indices_;
  std::vector<int> tableIndex_;
  std::unique_ptr<TLZWStringTable> matchTable_;
};

// Colours of the pixels each picture changes: how often and when each first
// appears, and which colours each picture changes in how many pixels.
struct TColourCount {
  std::int64_t Pixels = 0;
  std::int64_t First = 0;
  std::int64_t Frames = 0;
  std::int64_t LastFrame = -1;
};

struct TColourUse {
  std::unordered_map<std::int32_t, TColourCount> Counts;
  std::vector<std::vector<std::int32_t>> FrameColours;
  std::vector<std::int64_t> FramePixels;
  std::size_t Listed = 0;  // sum of the lists' sizes
};

TColourUse CountColours(const TLosslessSource& source) {
  TColourUse use;
  auto& counts = use.Counts;
  const std::size_t pixels = static_cast<std::size_t>(source.Width) * source.Height;
  std::vector<std::int32_t> before(pixels, kClearPixel);
  std::int64_t order = 0;
  for (std::int64_t i = 0; i < source.Count; ++i) {
    std::uint16_t delay = 0;
    const std::int32_t* p = source.Picture(i, delay);
    const std::int32_t* b = before.data();
    std::int32_t last = kClearPixel;
    TColourCount* entry = nullptr;
    std::vector<std::int32_t> colours;
    std::int64_t changed = 0;
    const std::size_t width = static_cast<std::size_t>(source.Width);
    for (std::size_t row = 0; row < pixels; row += width) {
      if (std::memcmp(p + row, b + row, width * sizeof(std::int32_t)) == 0) continue;
      for (std::size_t k = row; k < row + width; ++k) {
        const std::int32_t c = p[k];
        if (c == b[k] || c == kClearPixel) continue;
        if (c != last || entry == nullptr) {
          auto [it, added] = counts.try_emplace(c);
          if (added) it->second.First = order++;
          entry = &it->second;
          last = c;
          if (entry->LastFrame != i) {
            entry->LastFrame = i;
            ++entry->Frames;
            colours.push_back(c);
          }
        }
        ++entry->Pixels;
        ++changed;
      }
      std::copy(p + row, p + row + width, before.begin() + static_cast<std::ptrdiff_t>(row));
    }
    if (!colours.empty()) {
      use.Listed += colours.size();
      use.FrameColours.push_back(std::move(colours));
      use.FramePixels.push_back(changed);
    }
  }
  return use;
}

enum class TOrder : std::uint8_t {
  Frames,  // colours that most frames change first
  Covers,  // the colours of the frames that gain most from low indices first
  First,   // order of first appearance
};

// Up to 256 colours for the global table. A frame needs as many index bits
// as its highest index takes, so the orders put the colours of many or
// large frames at the low indices.
std::vector<std::int32_t> GlobalColours(const TColourUse& use, TOrder order) {
  const auto& counts = use.Counts;
  std::vector<std::pair<std::int32_t, TColourCount>> all(counts.begin(), counts.end());
  std::sort(all.begin(), all.end(), [order](const auto& a, const auto& b) {
    if (order == TOrder::First) return a.second.First < b.second.First;
    if (order == TOrder::Frames && a.second.Frames != b.second.Frames) return a.second.Frames > b.second.Frames;
    if (a.second.Pixels != b.second.Pixels) return a.second.Pixels > b.second.Pixels;
    return a.second.First < b.second.First;
  });
  std::vector<std::int32_t> colours;
  // Greedy cover: the frame with the most changed pixels per colour not yet
  // placed brings its colours next. Bounded, as it rescans every list.
  if (order == TOrder::Covers && use.Listed <= (std::size_t{1} << 20)) {
    std::unordered_map<std::int32_t, int> rank;
    for (std::size_t i = 0; i < all.size(); ++i) rank.emplace(all[i].first, static_cast<int>(i));
    std::vector<bool> placed(all.size(), false);
    std::vector<bool> done(use.FrameColours.size(), false);
    for (;;) {
      int bestFrame = -1;
      double bestGain = 0;
      std::size_t bestNew = 0;
      for (std::size_t f = 0; f < use.FrameColours.size(); ++f) {
        if (done[f]) continue;
        std::size_t fresh = 0;
        for (const std::int32_t c : use.FrameColours[f]) fresh += placed[static_cast<std::size_t>(rank[c])] ? 0 : 1;
        if (fresh == 0 || colours.size() + fresh > 256) {
          done[f] = true;
          continue;
        }
        const double gain = static_cast<double>(use.FramePixels[f]) / static_cast<double>(fresh);
        if (bestFrame < 0 || gain > bestGain) {
          bestFrame = static_cast<int>(f);
          bestGain = gain;
          bestNew = fresh;
        }
      }
      if (bestFrame < 0) break;
      std::vector<int> fresh;
      fresh.reserve(bestNew);
      for (const std::int32_t c : use.FrameColours[static_cast<std::size_t>(bestFrame)]) {
        const int r = rank[c];
        if (!placed[static_cast<std::size_t>(r)]) fresh.push_back(r);
      }
      std::sort(fresh.begin(), fresh.end());
      for (const int r : fresh) {
        placed[static_cast<std::size_t>(r)] = true;
        colours.push_back(all[static_cast<std::size_t>(r)].first);
      }
      done[static_cast<std::size_t>(bestFrame)] = true;
    }
    for (std::size_t i = 0; i < all.size() && colours.size() < 256; ++i) {
      if (!placed[i]) colours.push_back(all[i].first);
    }
    return colours;
  }
  if (all.size() > 256) all.resize(256);
  for (const auto& entry : all) colours.push_back(entry.first);
  return colours;
}

// A rough size in bits of the frames' data with a global table: each changed
// pixel at the code size its frame's highest index (and a transparent index
// after it) needs; a frame with a colour outside the table pays for a local
// table of its own.
double EstimatedBits(const TColourUse& use, const std::vector<std::int32_t>& global) {
  std::unordered_map<std::int32_t, int> index;
  for (std::size_t i = 0; i < global.size(); ++i) index.emplace(global[i], static_cast<int>(i));
  double bits = 0;
  for (std::size_t f = 0; f < use.FrameColours.size(); ++f) {
    int highest = 0;
    bool outside = false;
    for (const std::int32_t c : use.FrameColours[f]) {
      const auto it = index.find(c);
      if (it == index.end()) {
        outside = true;
        break;
      }
      highest = std::max(highest, it->second);
    }
    const int count = outside ? static_cast<int>(use.FrameColours[f].size()) : highest + 1;
    const int codeBits = std::max(2, TableBits(count + 1));
    bits += static_cast<double>(use.FramePixels[f]) * codeBits + (outside ? 24.0 * (1 << codeBits) : 0.0);
  }
  return bits;
}

}  // namespace

std::string EncodeLosslessGif(const TLosslessSource& source, int level) {
  const TColourUse use = CountColours(source);
  // Level 1 encodes once, with the order whose estimate is smaller.
  std::vector<std::int32_t> covers = GlobalColours(use, TOrder::Covers);
  std::vector<std::int32_t> frames = GlobalColours(use, TOrder::Frames);
  if (EstimatedBits(use, frames) < EstimatedBits(use, covers)) std::swap(covers, frames);
  std::string best = TLosslessEncoder(source, level, covers).Run();
  if (level >= 2) {
    // Level 2 also measures other table orders and local tables only, and
    // takes the smallest file; its own first try already is at most level
    // 1's size, as it tries every choice level 1 tries.
    TLosslessSource quiet = source;
    quiet.Step = nullptr;
    const std::vector<std::int32_t> globals[] = {frames, GlobalColours(use, TOrder::First), {}};
    for (const auto& global : globals) {
      std::string other = TLosslessEncoder(quiet, level, global).Run();
      if (other.size() < best.size()) best = std::move(other);
    }
  }
  return best;
}

}  // namespace tovasel
