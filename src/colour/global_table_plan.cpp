#include "colour/global_table_plan.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "colour/frame_symbols.h"

namespace tovasel {

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

std::vector<std::int32_t> GlobalColours(const TColourUse& use, TGlobalOrder order) {
  const auto& counts = use.Counts;
  std::vector<std::pair<std::int32_t, TColourCount>> all(counts.begin(), counts.end());
  std::sort(all.begin(), all.end(), [order](const auto& a, const auto& b) {
    if (order == TGlobalOrder::First) return a.second.First < b.second.First;
    if (order == TGlobalOrder::Frames && a.second.Frames != b.second.Frames) return a.second.Frames > b.second.Frames;
    if (a.second.Pixels != b.second.Pixels) return a.second.Pixels > b.second.Pixels;
    return a.second.First < b.second.First;
  });
  std::vector<std::int32_t> colours;
  // Greedy cover: the frame with the most changed pixels per colour not yet
  // placed brings its colours next. Bounded, as it rescans every list.
  if (order == TGlobalOrder::Covers && use.Listed <= (std::size_t{1} << 20)) {
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

}  // namespace tovasel
