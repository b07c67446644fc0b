#include "colour/lzw_table_model.h"

namespace tovasel {

bool TLzwTableModel::MatchSymbols(const TFrameSymbols& frame, std::vector<std::uint16_t>& out) {
  if (frame.Colours.size() >= 256) return false;
  const int minCodeSize = frame.MinCodeSize();
  table_.Clear(minCodeSize);
  int prefix = -1;
  const std::size_t count = frame.Count();
  out.resize(count);
  std::uint16_t before = kTransparentSymbol;
  for (std::size_t k = 0; k < count; ++k) {
    std::uint16_t s = frame.Symbols[k];
    if (frame.Unchanged[k] && s != kTransparentSymbol) {
      const auto held = [&](std::uint16_t v) {
        return prefix >= 0 && table_.Find(prefix, static_cast<int>(frame.ValueOf(v))) >= 0;
      };
      if (!held(s) && (held(kTransparentSymbol) || before != s)) s = kTransparentSymbol;
    }
    out[k] = s;
    before = s;
    const int v = static_cast<int>(frame.ValueOf(s));
    if (prefix < 0) {
      prefix = v;
      continue;
    }
    const int code = table_.Find(prefix, v);
    if (code >= 0) {
      prefix = code;
      continue;
    }
    // As the plain encoder: the string is added, or the table starts over
    // rather than give code 4095.
    if (table_.Next() < TLzwDictionary::kFull - 1) {
      table_.Add(prefix, v);
    } else {
      table_.Clear(minCodeSize);
    }
    prefix = v;
  }
  return true;
}

}  // namespace tovasel
