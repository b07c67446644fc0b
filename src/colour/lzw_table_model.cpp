#include "colour/lzw_table_model.h"

#include <algorithm>

namespace tovasel {

namespace {

std::uint32_t Key(int prefix, std::uint32_t value) { return (static_cast<std::uint32_t>(prefix) << 8) | value; }

}  // namespace

bool TLzwTableModel::MatchSymbols(const TFrameSymbols& frame, std::vector<std::uint16_t>& out) {
  if (frame.Colours.size() >= 256) return false;
  const int firstFree = frame.FirstFreeCode();
  if (table_.empty()) table_.resize(1);
  TLZWStringTable& table = table_.front();
  table.Clear();
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
      if (!held(s) && (held(kTransparentSymbol) || before != s)) s = kTransparentSymbol;
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

}  // namespace tovasel
