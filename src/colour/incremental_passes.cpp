#include "colour/incremental_passes.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <numeric>

#include "colour/colour_map_optimizer.h"
#include "colour/frame_optimizer.h"
#include "colour/frame_passes.h"
#include "gif/frame_transparency.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "gif/sub_image.h"

namespace tovasel {

namespace {

// The packing stops counting a frame once an entry reaches this many uses;
// running counts that could get there leave the shortcut.
constexpr std::int64_t kUseLimit = std::numeric_limits<std::int32_t>::max();

TColorTranslation Identity() {
  TColorTranslation table{};
  std::iota(table.begin(), table.end(), std::uint8_t{0});
  return table;
}

int TransparentIndexOf(const TGIFSubImage& frame) {
  const TGIFGraphicControlExtension* control = TransparentControl(frame);
  return control != nullptr ? control->TransparentIndex() : -1;
}

// Whether the table moves one of the indices that occur; the indices that
// cannot occur once it has been applied.
bool Moves(const TColorTranslation& table, std::bitset<256>& absent) {
  std::bitset<256> present;
  bool moves = false;
  for (std::size_t v = 0; v < table.size(); ++v) {
    if (absent[v]) continue;
    present.set(table[v]);
    if (table[v] != v) moves = true;
  }
  absent = ~present;
  return moves;
}

std::bitset<256> AbsentFrom(const TIndexCounts& uses) {
  std::bitset<256> absent;
  for (std::size_t v = 0; v < uses.size(); ++v) absent.set(v, uses[v] == 0);
  return absent;
}

}  // namespace

bool TIncrementalPasses::DrawsWithGlobal(const TGIFSubImage& frame) {
  return !frame.IsBlank() && frame.LocalColors().Empty();
}

void TIncrementalPasses::AfterFrameAdded(bool palette, TCompactOptions compact) {
  if (!started_) {
    started_ = true;
    firstPalette_ = palette;
    firstCompact_ = compact;
  } else if (palette != firstPalette_ || !(compact == firstCompact_)) {
    wholeDocument_ = true;
  }
  TGIFImageList& frames = document_.Frames();
  states_.push_back(TFrameState{.Epoch = renumberings_.size()});
  if (static_cast<int>(states_.size()) != frames.ItemCount()) wholeDocument_ = true;
  if (wholeDocument_) {
    RunWholeDocument(palette, compact);
    return;
  }

  newestAlive_ = true;
  bool recolored = false;
  if (palette) {
    if (!PackFast(recolored, compact.Empty())) {
      RunWholeDocument(palette, compact);
      return;
    }
  }
  if (!compact.Empty()) {
    if (compactWhole_ || (recolored && compact.Contains(coMergeUnchanged))) {
      MaterializeAll();
      const int before = frames.ItemCount();
      const TGIFSubImage* newest = &frames.FrameAt(before - 1);
      CompactFrames(document_, compact, rsKeepColors, dkNone, 0);
      const int after = frames.ItemCount();
      const bool newestKept = after > 0 && &frames.FrameAt(after - 1) == newest;
      compactWhole_ = after - (newestKept ? 1 : 0) < before - 1;
      Resynchronize();
      return;
    }
    CompactNewest(compact);
  }
  if (palette && newestAlive_) CountNewest(compact.Empty());
}

bool TIncrementalPasses::PackFast(bool& recolored, bool keepOwn) {
  TGIFImageList& frames = document_.Frames();
  const int n = frames.ItemCount();
  TGIFSubImage& newest = frames.FrameAt(n - 1);
  // The shortcut rests on the packing after every earlier frame: all of
  // them draw with the global map, only the newest has its own.
  if (!newest.IsBlank() && newest.LocalColors().Empty()) return false;
  if (*std::max_element(counts_.begin(), counts_.end()) >= kUseLimit) return false;
  for (int i = 0; i + 1 < n; ++i) {
    const TGIFSubImage& frame = frames.FrameAt(i);
    if (!frame.IsBlank() && !frame.LocalColors().Empty()) return false;
  }

  TColorMapOptimizer optimizer(document_);
  optimizer.NeedsTransparent = false;
  const THistogram* globalHistogram = nullptr;
  std::vector<int> counted;
  TGIFGlobalColorMap& global = document_.GlobalColors();
  if (!global.Empty()) {
    auto histogram = std::make_unique<THistogram>(global);
    for (int i = 0; i + 1 < n; ++i) {
      TGIFSubImage& frame = frames.FrameAt(i);
      if (frame.IsBlank()) continue;
      counted.push_back(i);
      if (TGIFGraphicControlExtension* control = TransparentControl(frame)) {
        if (states_[static_cast<std::size_t>(i)].TransparentPixels > 0) {
          optimizer.NeedsTransparent = true;
        } else {
          control->SetTransparentIndex(0);
          control->SetIsTransparent(false);
          states_[static_cast<std::size_t>(i)].StoredTransparent = -1;
        }
      }
    }
    if (!counted.empty()) {
      for (std::size_t g = 0; g < histogram->Tallies.size(); ++g) histogram->Tallies[g].Uses = counts_[g];
      globalHistogram = histogram.get();
      optimizer.Histograms.push_back(std::move(histogram));
    }
  }
  const THistogram* newestHistogram = nullptr;
  newest_.Known = false;
  TIndexCounts newestLocalUses{};
  if (!newest.IsBlank()) {
    auto histogram = std::make_unique<THistogram>(newest.LocalColors());
    optimizer.CountFrame(*histogram, newest);
    // A fresh count below the limit takes in every pixel that is not
    // transparent. Pixels repaired to 0 while 0 is the transparent index
    // are counted yet become transparent: those frames are counted again.
    const int transparent = TransparentIndexOf(newest);
    if (static_cast<std::int64_t>(newest.PixelDataSize()) < kUseLimit && transparent != 0) {
      for (std::size_t v = 0; v < histogram->Tallies.size(); ++v) newestLocalUses[v] = histogram->Tallies[v].Uses;
      newest_.Known = true;
    }
    newestHistogram = histogram.get();
    optimizer.Histograms.push_back(std::move(histogram));
  }

  optimizer.Prune();
  optimizer.MergeIdenticalColors();
  optimizer.ChooseColors();
  recolored = false;
  if (globalHistogram != nullptr) {
    // A used colour that did not fit moves to a neighbour: pixels of earlier
    // frames may now repeat their predecessor's.
    for (const TColorTally* tally : globalHistogram->UsedList) {
      if (optimizer.NewColors[static_cast<std::size_t>(tally->NewIndex)].Value() != tally->Rgb) recolored = true;
    }
  }
  optimizer.Install();

  const TColorTranslation table = globalHistogram != nullptr ? optimizer.Translation(*globalHistogram) : Identity();
  renumberings_.push_back(table);
  if (optimizer.NeedsTransparent) {
    for (const int i : counted) {
      if (TGIFGraphicControlExtension* control = TransparentControl(frames.FrameAt(i))) {
        control->SetTransparentIndex(optimizer.SharedTransparentIndex);
      }
    }
  }
  TFrameState fresh{.Epoch = renumberings_.size()};
  if (newestHistogram != nullptr) {
    const TColorTranslation own = optimizer.FrameTable(optimizer.Translation(*newestHistogram), newest);
    // Without compaction nothing reads the newest frame's pixels before the
    // end, when they are counted already.
    if (keepOwn && newest_.Known) {
      fresh.Pending = true;
      fresh.Own = own;
    } else {
      TranslatePixels(newest.PixelData(), newest.PixelDataSize(), own);
    }
    if (newest_.Known) {
      // Every pixel that is not transparent went through this table.
      const TColorTranslation local = optimizer.Translation(*newestHistogram);
      newest_.Uses.fill(0);
      std::int64_t counted = 0;
      for (std::size_t v = 0; v < newestLocalUses.size(); ++v) {
        newest_.Uses[local[v]] += newestLocalUses[v];
        counted += newestLocalUses[v];
      }
      newest_.TransparentPixels = static_cast<std::int64_t>(newest.PixelDataSize()) - counted;
    }
  }
  states_.back() = fresh;

  std::array<std::int64_t, 256> renumbered{};
  for (std::size_t g = 0; g < counts_.size(); ++g) {
    if (counts_[g] != 0) renumbered[table[g]] += counts_[g];
  }
  counts_ = renumbered;
  return true;
}

void TIncrementalPasses::CompactNewest(TCompactOptions compact) {
  TGIFImageList& frames = document_.Frames();
  const int k = frames.ItemCount() - 1;
  // Earlier frames were merged against their predecessors and cropped by
  // the earlier calls; doing it again changes none of them. The merge reads
  // its source frame's pixels, which must be up to date.
  if (compact.Contains(coMergeUnchanged) && k >= 1) Materialize(MergeSourceIndex(frames, k));
  if (!CompactNewestFrame(frames, compact)) {
    states_.pop_back();
    newestAlive_ = false;
  }
  compactWhole_ = false;
}

void TIncrementalPasses::CountNewest(bool unchanged) {
  TGIFSubImage& frame = document_.Frames().FrameAt(document_.Frames().ItemCount() - 1);
  TFrameState& state = states_.back();
  const int transparent = TransparentIndexOf(frame);
  state.StoredTransparent = transparent;
  state.TransparentPixels = 0;
  if (unchanged && newest_.Known && DrawsWithGlobal(frame)) {
    // The packing's count, renumbered, is what counting again would find.
    state.Absent = AbsentFrom(newest_.Uses);
    if (transparent >= 0) {
      state.TransparentPixels = newest_.TransparentPixels;
      if (state.TransparentPixels > 0) state.Absent.reset(static_cast<std::size_t>(transparent));
    }
    for (std::size_t g = 0; g < counts_.size(); ++g) counts_[g] += newest_.Uses[g];
    return;
  }
  const std::uint8_t* p = frame.PixelData();
  const std::uint8_t* const end = p + frame.PixelDataSize();
  if (DrawsWithGlobal(frame)) {
    TIndexCounts uses{};
    CountIndices(p, frame.PixelDataSize(), uses);
    state.Absent = AbsentFrom(uses);
    if (transparent >= 0) {
      state.TransparentPixels = uses[static_cast<std::size_t>(transparent)];
      uses[static_cast<std::size_t>(transparent)] = 0;
    }
    for (std::size_t g = 0; g < uses.size(); ++g) counts_[g] += uses[g];
  } else if (transparent >= 0) {
    state.TransparentPixels = std::count(p, end, static_cast<std::uint8_t>(transparent));
  }
}

void TIncrementalPasses::RunWholeDocument(bool palette, TCompactOptions compact) {
  MaterializeAll();
  if (palette) PackColorMaps(document_);
  if (!compact.Empty()) CompactFrames(document_, compact, rsKeepColors, dkNone, 0);
  Resynchronize();
}

std::uint64_t TIncrementalPasses::FollowNewest() {
  if (wholeDocument_ || states_.empty() || static_cast<int>(states_.size()) != document_.Frames().ItemCount()) {
    return 0;
  }
  TFrameState& state = states_.back();
  if (state.Followed != 0) return 0;
  state.Followed = ++follows_;
  std::iota(state.Renumbered.begin(), state.Renumbered.end(), std::uint8_t{0});
  return state.Followed;
}

const TColorTranslation* TIncrementalPasses::RenumberingSince(int index, std::uint64_t token) const {
  if (token == 0 || index < 0 || index >= static_cast<int>(states_.size())) return nullptr;
  const TFrameState& state = states_[static_cast<std::size_t>(index)];
  return state.Followed == token ? &state.Renumbered : nullptr;
}

void TIncrementalPasses::Renumber(TGIFSubImage& frame, TFrameState& state, const TColorTranslation& table) {
  const bool moves = Moves(table, state.Absent);
  // A pending frame's pixels go through its own table first, whether or
  // not the global indices move.
  const bool pending = state.Pending;
  TColorTranslation applied = table;
  if (pending) {
    for (std::size_t v = 0; v < applied.size(); ++v) applied[v] = table[state.Own[v]];
    state.Pending = false;
  }
  if (moves || pending) TranslatePixels(frame.PixelData(), frame.PixelDataSize(), applied);
  if (state.Followed != 0) {
    for (std::uint8_t& value : state.Renumbered) value = applied[value];
  }
}

void TIncrementalPasses::Materialize(int index) {
  TFrameState& state = states_[static_cast<std::size_t>(index)];
  TGIFSubImage& frame = document_.Frames().FrameAt(index);
  const std::size_t latest = renumberings_.size();
  if (state.Epoch == latest && !state.Pending) return;
  if (DrawsWithGlobal(frame)) {
    TColorTranslation table = Identity();
    for (std::size_t e = state.Epoch; e < latest; ++e) {
      for (std::uint8_t& entry : table) entry = renumberings_[e][entry];
    }
    const int transparent = TransparentIndexOf(frame);
    if (state.StoredTransparent >= 0 && transparent >= 0) {
      table[static_cast<std::size_t>(state.StoredTransparent)] = static_cast<std::uint8_t>(transparent);
    }
    Renumber(frame, state, table);
    state.StoredTransparent = transparent;
  }
  state.Epoch = latest;
}

void TIncrementalPasses::MaterializeAll() {
  TGIFImageList& frames = document_.Frames();
  const std::size_t latest = renumberings_.size();
  // suffix[e] takes pixels written after e renumberings to the latest.
  std::vector<TColorTranslation> suffix(latest + 1);
  suffix[latest] = Identity();
  for (std::size_t e = latest; e-- > 0;) {
    for (std::size_t x = 0; x < 256; ++x) suffix[e][x] = suffix[e + 1][renumberings_[e][x]];
  }
  const int count = std::min<int>(frames.ItemCount(), static_cast<int>(states_.size()));
  for (int i = 0; i < count; ++i) {
    TFrameState& state = states_[static_cast<std::size_t>(i)];
    TGIFSubImage& frame = frames.FrameAt(i);
    if ((state.Epoch != latest || state.Pending) && DrawsWithGlobal(frame)) {
      TColorTranslation table = suffix[state.Epoch];
      const int transparent = TransparentIndexOf(frame);
      if (state.StoredTransparent >= 0 && transparent >= 0) {
        table[static_cast<std::size_t>(state.StoredTransparent)] = static_cast<std::uint8_t>(transparent);
      }
      Renumber(frame, state, table);
    }
    state.Epoch = 0;
    state.StoredTransparent = TransparentIndexOf(frame);
  }
  renumberings_.clear();
}

void TIncrementalPasses::Resynchronize() {
  TGIFImageList& frames = document_.Frames();
  renumberings_.clear();
  counts_.fill(0);
  states_.assign(static_cast<std::size_t>(frames.ItemCount()), TFrameState{});
  for (int i = 0; i < frames.ItemCount(); ++i) {
    TGIFSubImage& frame = frames.FrameAt(i);
    TFrameState& state = states_[static_cast<std::size_t>(i)];
    const int transparent = TransparentIndexOf(frame);
    state.StoredTransparent = transparent;
    TIndexCounts uses{};
    CountIndices(frame.PixelData(), frame.PixelDataSize(), uses);
    state.Absent = AbsentFrom(uses);
    if (transparent >= 0) state.TransparentPixels = uses[static_cast<std::size_t>(transparent)];
    if (DrawsWithGlobal(frame)) {
      for (std::size_t g = 0; g < counts_.size(); ++g) {
        if (static_cast<int>(g) != transparent) counts_[g] += uses[g];
      }
    }
  }
}

void TIncrementalPasses::Finish() { MaterializeAll(); }

}  // namespace tovasel
