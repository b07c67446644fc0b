#include "colour/lzw_table_model.h"

#include <algorithm>
#include <array>

namespace tovasel {

namespace {

// The symbols pixel K may take: its own, and the transparent index when it
// repeats what is shown.
int Choices(const TFrameSymbols& frame, std::size_t k, std::array<std::uint16_t, 2>& choices) {
  choices[0] = frame.Symbols[k];
  if (!frame.Unchanged[k] || choices[0] == kTransparentSymbol) return 1;
  choices[1] = kTransparentSymbol;
  return 2;
}

std::uint32_t Key(int prefix, std::uint32_t value) { return (static_cast<std::uint32_t>(prefix) << 8) | value; }

}  // namespace

TLZWStringTable& TLzwTableModel::EmptyTable() {
  if (table_.empty()) table_.resize(1);
  table_.front().Clear();
  return table_.front();
}

bool TLzwTableModel::MatchSymbols(const TFrameSymbols& frame, bool preferColour, std::vector<std::uint16_t>& out) {
  if (frame.Colours.size() >= 256) return false;
  const int firstFree = frame.FirstFreeCode();
  TLZWStringTable& table = EmptyTable();
  int nextCode = firstFree;
  int prefix = -1;
  const std::size_t count = frame.Count();
  out.resize(count);
  std::uint16_t before = kTransparentSymbol;
  for (std::size_t k = 0; k < count; ++k) {
    std::uint16_t s = frame.Symbols[k];
    if (frame.Unchanged[k] && s != kTransparentSymbol) {
      const auto held = [&](std::uint16_t v) {
        return prefix >= 0 && table.FindOrInsert(Key(prefix, frame.ValueOf(v)), -1) >= 0;
      };
      if (!held(s) && (held(kTransparentSymbol) || (!preferColour && before != s))) s = kTransparentSymbol;
    }
    out[k] = s;
    before = s;
    const std::uint32_t v = frame.ValueOf(s);
    if (prefix < 0) {
      prefix = static_cast<int>(v);
      continue;
    }
    const bool canAssign = nextCode <= TLZWEncoder::LastAssignedCode;
    const int code = table.FindOrInsert(Key(prefix, v), canAssign ? nextCode : -1);
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

int TLzwTableModel::LongestFrom(const TFrameSymbols& frame, int code, std::size_t k, int& budget) {
  if (k >= frame.Count() || budget <= 0) return 0;
  --budget;
  std::array<std::uint16_t, 2> choices{};
  const int n = Choices(frame, k, choices);
  int best = 0;
  for (int c = 0; c < n; ++c) {
    const int child = table_.front().FindOrInsert(Key(code, frame.ValueOf(choices[c])), -1);
    if (child >= 0) best = std::max(best, 1 + LongestFrom(frame, child, k + 1, budget));
  }
  return best;
}

bool TLzwTableModel::LongestSymbols(const TFrameSymbols& frame, std::vector<std::uint16_t>& out) {
  if (frame.Colours.size() >= 256) return false;
  const int firstFree = frame.FirstFreeCode();
  TLZWStringTable& table = EmptyTable();
  int nextCode = firstFree;
  int prefix = -1;
  const std::size_t count = frame.Count();
  out.resize(count);
  std::array<std::uint16_t, 2> choices{};
  // Picks the choice at K whose string from Code runs longest; -1 when
  // none continues Code.
  const auto pick = [&](int code, std::size_t k, int& next) {
    const int n = Choices(frame, k, choices);
    int bestChoice = -1, bestLength = -1;
    for (int c = 0; c < n; ++c) {
      const int child = code < 0 ? static_cast<int>(frame.ValueOf(choices[c]))
                                 : table.FindOrInsert(Key(code, frame.ValueOf(choices[c])), -1);
      if (child < 0) continue;
      int budget = 64;
      const int length = n == 1 ? 0 : LongestFrom(frame, child, k + 1, budget);
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
        table.FindOrInsert(Key(prefix, frame.ValueOf(out[k])), nextCode++);
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

}  // namespace tovasel
