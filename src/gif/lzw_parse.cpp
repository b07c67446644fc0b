#include "gif/lzw_parse.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "gif/lzw_dictionary.h"

namespace tovasel {

namespace {

// One code of a run: the code, the table's next number before the string
// it ends was added (which sets its width), and where its string ends.
struct TStep {
  std::uint16_t Code;
  std::uint16_t NextBefore;
  std::uint32_t End;
};

// A parse going forward from one Clear: its table and the steps taken.
class TRun {
 public:
  void Start(const std::uint8_t* pixels, int minCodeSize, std::size_t at) {
    pixels_ = pixels;
    table_.Clear(minCodeSize);
    steps_.clear();
    pos_ = at;
    start_ = at;
    prev_ = -1;
  }

  // One longest string, ending no later than Limit.
  void Greedy(std::size_t limit) {
    const int next = table_.Next();
    if (prev_ >= 0) table_.Add(prev_, pixels_[pos_]);
    int code = pixels_[pos_];
    std::size_t p = pos_ + 1;
    while (p < limit) {
      const int child = table_.Find(code, pixels_[p]);
      if (child < 0) break;
      code = child;
      ++p;
    }
    Take(code, next, p);
  }

  void Take(int code, int nextBefore, std::size_t end) {
    steps_.push_back({static_cast<std::uint16_t>(code), static_cast<std::uint16_t>(nextBefore),
                      static_cast<std::uint32_t>(end)});
    prev_ = code;
    pos_ = end;
  }

  // Bits of the steps from First on.
  std::uint64_t BitsFrom(std::size_t first) const {
    std::uint64_t bits = 0;
    for (std::size_t j = first; j < steps_.size(); ++j) bits += TLzwDictionary::WidthFor(steps_[j].NextBefore);
    return bits;
  }
  // Bits of every step and of the code that ends the run (a Clear or End).
  std::uint64_t Bits() const { return BitsFrom(0) + static_cast<std::uint64_t>(table_.Width()); }

  // From Limit's side: the longest string the table holds at the current
  // pixel, each prefix's code in Path (up to Capacity of them); returns its
  // length. Adds the string the code before it leaves first, as a decoder
  // would on reading the code.
  int Match(std::size_t limit, int* path, int capacity, int& nextBefore) {
    nextBefore = table_.Next();
    if (prev_ >= 0) table_.Add(prev_, pixels_[pos_]);
    int code = pixels_[pos_];
    path[0] = code;
    int length = 1;
    for (std::size_t p = pos_ + 1; p < limit; ++p) {
      const int child = table_.Find(code, pixels_[p]);
      if (child < 0) break;
      code = child;
      if (length < capacity) path[length] = code;
      ++length;
    }
    if (length > capacity) path[capacity - 1] = code;
    return length;
  }

  // Greedy strings from Q (after the string of code Prev) until Q passes
  // End, in a table that is rolled back afterwards by the caller; returns
  // their bits, or stops once they pass Bound.
  std::uint64_t Rollout(std::size_t q, int prev, std::size_t end, std::size_t limit, std::uint64_t bound) {
    std::uint64_t bits = 0;
    while (q < end && bits < bound) {
      bits += static_cast<std::uint64_t>(table_.Width());
      table_.Add(prev, pixels_[q]);
      int code = pixels_[q++];
      while (q < limit) {
        const int child = table_.Find(code, pixels_[q]);
        if (child < 0) break;
        code = child;
        ++q;
      }
      prev = code;
    }
    return bits;
  }

  std::size_t Pos() const { return pos_; }
  std::size_t StartPos() const { return start_; }
  const std::vector<TStep>& Steps() const { return steps_; }
  TLzwDictionary& Table() { return table_; }

 private:
  const std::uint8_t* pixels_ = nullptr;
  TLzwDictionary table_;
  std::vector<TStep> steps_;
  std::size_t pos_ = 0;
  std::size_t start_ = 0;
  int prev_ = -1;
};

bool PowerOfTwo(int value) { return value > 0 && (value & (value - 1)) == 0; }

// Longer strings are taken whole: runs of one colour, where the longest
// string is nearly always right.
constexpr int kLongestWeighed = 64;

// A Clear is weighed over at least this many pixels ahead, and is placed
// only where it saves more than this share of the bits.
constexpr std::size_t kShortestHorizon = 256;
constexpr std::uint64_t kClearMarginShare = 100;

}  // namespace

struct TLzwParser::TImpl {
  TRun Main, Trial, Spare;
  // Where each stretch between Clear codes starts, after the first: the
  // pixel, and the index of its Clear code.
  std::vector<std::size_t> Cuts;
  std::vector<std::size_t> CutCodes;
  // The string length of each code, while the cuts are found.
  std::uint32_t Lengths[TLzwDictionary::kFull] = {};
  std::vector<std::uint16_t> Chosen;

  void Plain(const std::uint8_t* pixels, std::size_t count, int minCodeSize, std::vector<std::uint16_t>& codes) {
    const std::uint16_t clear = static_cast<std::uint16_t>(1 << minCodeSize);
    TLzwDictionary& table = Main.Table();
    table.Clear(minCodeSize);
    codes.push_back(clear);
    int prev = -1;
    std::size_t pos = 0;
    while (pos < count) {
      if (prev >= 0) table.Add(prev, pixels[pos]);
      int code = pixels[pos++];
      for (; pos < count; ++pos) {
        const int child = table.Find(code, pixels[pos]);
        if (child < 0) break;
        code = child;
      }
      codes.push_back(static_cast<std::uint16_t>(code));
      prev = code;
      // The plain encoder starts over rather than give code 4095.
      if (table.Next() >= TLzwDictionary::kFull - 1 && pos < count) {
        codes.push_back(clear);
        table.Clear(minCodeSize);
        prev = -1;
      }
    }
  }

  // Greedy strings; at each place where a Clear could pay, the table in use
  // and a fresh one are both run over the pixels ahead, and the cheaper
  // goes on. Those places: just before the code width grows (a fresh table
  // has narrower codes), and, once the table is full, every half of the
  // length it took to fill (a fresh table learns what the pixels ahead
  // repeat). The pixels ahead: twice those the table in use has seen.
  void Clears(const std::uint8_t* pixels, std::size_t count, int minCodeSize, std::vector<std::uint16_t>& codes) {
    const std::uint16_t clear = static_cast<std::uint16_t>(1 << minCodeSize);
    codes.push_back(clear);
    Cuts.clear();
    Main.Start(pixels, minCodeSize, 0);
    std::size_t k = 0;           // the next step of Main to decide about
    std::size_t fullLength = 0;  // pixels the current table took to fill
    std::size_t lastCheck = 0;
    const auto commit = [&](std::size_t upTo) {
      for (std::size_t j = 0; j < upTo; ++j) codes.push_back(Main.Steps()[j].Code);
    };
    for (;;) {
      if (k == Main.Steps().size()) {
        if (Main.Pos() >= count) break;
        Main.Greedy(count);
      }
      const int next = Main.Steps()[k].NextBefore;
      const std::size_t at = k == 0 ? Main.StartPos() : Main.Steps()[k - 1].End;
      const std::size_t seen = at - Main.StartPos();
      bool check = false;
      if (next < TLzwDictionary::kFull) {
        check = k > 0 && PowerOfTwo(next + 1);
      } else {
        if (fullLength == 0) {
          fullLength = std::max<std::size_t>(seen, 1);
          lastCheck = at;
        }
        check = at - lastCheck >= std::max<std::size_t>(fullLength / 2, kShortestHorizon / 4);
      }
      if (!check) {
        ++k;
        continue;
      }
      lastCheck = at;
      const std::size_t horizon = std::min(count, at + std::max(2 * (fullLength != 0 ? fullLength : seen), kShortestHorizon));
      while (Main.Pos() < horizon) Main.Greedy(count);
      const std::uint64_t keep = Main.BitsFrom(k);
      Trial.Start(pixels, minCodeSize, at);
      while (Trial.Pos() < horizon) Trial.Greedy(count);
      const std::uint64_t restart = static_cast<std::uint64_t>(TLzwDictionary::WidthFor(next)) + Trial.BitsFrom(0);
      if (restart + keep / kClearMarginShare < keep) {
        commit(k);
        codes.push_back(clear);
        Cuts.push_back(at);
        std::swap(Main, Trial);
        k = 0;
        fullLength = 0;
      } else {
        ++k;
      }
    }
    commit(Main.Steps().size());
  }

  // One string chosen by looking ahead. A shorter string leaves another
  // string in the table and starts the next one elsewhere.
  static void LookAhead(TRun& run, std::size_t limit, const TLzwLookAhead& look) {
    int path[kLongestWeighed];
    int nextBefore = 0;
    const std::size_t pos = run.Pos();
    const int length = run.Match(limit, path, kLongestWeighed, nextBefore);
    if (length <= 1 || length > kLongestWeighed) {
      run.Take(path[std::min(length, kLongestWeighed) - 1], nextBefore, pos + static_cast<std::size_t>(length));
      return;
    }
    const int mark = run.Table().Next();
    const std::size_t end = std::min(limit, pos + look.Window);
    std::uint64_t bestBits = ~std::uint64_t{0};
    int best = length;
    for (int l = length; l >= std::max(1, length - look.Shorter); --l) {
      const std::uint64_t bits = run.Rollout(pos + static_cast<std::size_t>(l), path[l - 1], end, limit, bestBits);
      run.Table().RollBack(mark);
      if (bits < bestBits) {
        bestBits = bits;
        best = l;
      }
    }
    run.Take(path[best - 1], nextBefore, pos + static_cast<std::size_t>(best));
  }

  // Where each stretch of Codes between Clear codes ends, from the lengths
  // of the strings a decoder builds: the pixel, and the code index.
  void FindCuts(const TLzwCodes& codes) {
    Cuts.clear();
    CutCodes.clear();
    const int clear = 1 << codes.MinCodeSize();
    const int firstFree = clear + 2;
    int next = firstFree;
    int prev = -1;
    std::size_t pos = 0;
    for (std::size_t k = 0; k < codes.Codes().size(); ++k) {
      const int code = codes.Codes()[k];
      if (code == clear) {
        if (k > 0) {
          Cuts.push_back(pos);
          CutCodes.push_back(k);
        }
        next = firstFree;
        prev = -1;
        continue;
      }
      // A code not yet in the table is the one this code adds.
      const std::uint32_t length = code < clear ? 1 : code < next ? Lengths[code] : Lengths[prev] + 1;
      if (prev >= 0 && next < TLzwDictionary::kFull) Lengths[next++] = Lengths[prev] + 1;
      pos += length;
      Lengths[code] = length;
      prev = code;
    }
  }

  // Within a stretch the width of each code follows from its place alone,
  // so the parse with fewer codes is the shorter one.
  void ChooseStrings(const std::uint8_t* pixels, std::size_t count, std::span<const TLzwLookAhead> looks,
                     const TLzwCodes& codes) {
    const int minCodeSize = codes.MinCodeSize();
    const std::vector<std::uint16_t>& given = codes.Codes();
    FindCuts(codes);
    std::vector<std::uint16_t>& out = Chosen;
    out.clear();
    for (std::size_t s = 0; s <= Cuts.size(); ++s) {
      const std::size_t from = s == 0 ? 0 : Cuts[s - 1];
      const std::size_t to = s < Cuts.size() ? Cuts[s] : count;
      // The given stretch: its Clear and the codes up to the next.
      const std::size_t first = s == 0 ? 0 : CutCodes[s - 1];
      const std::size_t last = s < Cuts.size() ? CutCodes[s] : given.size();
      const TRun* best = nullptr;
      std::size_t fewest = last - first - 1;
      for (const TLzwLookAhead& look : looks) {
        TRun& trial = best == &Trial ? Spare : Trial;
        trial.Start(pixels, minCodeSize, from);
        while (trial.Pos() < to) LookAhead(trial, to, look);
        if (trial.Steps().size() < fewest) {
          best = &trial;
          fewest = trial.Steps().size();
        }
      }
      if (best == nullptr) {
        out.insert(out.end(), given.begin() + static_cast<std::ptrdiff_t>(first),
                   given.begin() + static_cast<std::ptrdiff_t>(last));
        continue;
      }
      out.push_back(static_cast<std::uint16_t>(1 << minCodeSize));
      for (const TStep& step : best->Steps()) out.push_back(step.Code);
    }
  }
};

TLzwParser::TLzwParser() : impl_(std::make_unique<TImpl>()) {}
TLzwParser::~TLzwParser() = default;

// As the plain encoder: no pixels, no codes but the End code.
void TLzwParser::Plain(const std::uint8_t* pixels, std::size_t count, int minCodeSize, TLzwCodes& codes) {
  codes.minCodeSize_ = minCodeSize;
  codes.codes_.clear();
  if (count > 0) impl_->Plain(pixels, count, minCodeSize, codes.codes_);
  codes.Count();
}

void TLzwParser::PlaceClears(const std::uint8_t* pixels, std::size_t count, int minCodeSize, TLzwCodes& codes) {
  codes.minCodeSize_ = minCodeSize;
  codes.codes_.clear();
  if (count > 0) impl_->Clears(pixels, count, minCodeSize, codes.codes_);
  codes.Count();
}

void TLzwParser::ChooseStrings(const std::uint8_t* pixels, std::size_t count, std::span<const TLzwLookAhead> looks,
                               TLzwCodes& codes) {
  if (count == 0) return;
  impl_->ChooseStrings(pixels, count, looks, codes);
  std::swap(codes.codes_, impl_->Chosen);
  codes.Count();
}

}  // namespace tovasel
