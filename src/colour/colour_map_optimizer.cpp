#include "colour/colour_map_optimizer.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "gif/frame_transparency.h"
#include "colour/quick_sort.h"
#include "gif/gif_image.h"
#include "gif/sub_image.h"

namespace tovasel {

namespace {

// Counting a frame stops once one entry has this many uses, the largest
// count a 32-bit tally could hold.
constexpr std::int64_t kUseLimit = std::numeric_limits<std::int32_t>::max();

// A function object rather than a function, so that the sort's comparisons
// are inlined instead of called through a pointer.
constexpr auto ByUses = [](const TColorTally* a, const TColorTally* b) { return LargestFirst(a->Uses, b->Uses); };

std::uint8_t RedOf(std::uint32_t rgb) { return static_cast<std::uint8_t>(rgb & 0xFF); }
std::uint8_t GreenOf(std::uint32_t rgb) { return static_cast<std::uint8_t>((rgb >> 8) & 0xFF); }
std::uint8_t BlueOf(std::uint32_t rgb) { return static_cast<std::uint8_t>((rgb >> 16) & 0xFF); }

}  // namespace

THistogram::THistogram(const TGIFColorMap& map) : SourceMap(&map) {
  const auto entries = map.Entries();
  Tallies.resize(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    Tallies[i].OldIndex = static_cast<int>(i);
    Tallies[i].Rgb = entries[i].Value();
  }
  UsedList.reserve(Tallies.size());
  for (TColorTally& t : Tallies) UsedList.push_back(&t);
}

void TColorMapOptimizer::CountFrame(THistogram& histogram, TGIFSubImage& frame) {
  histogram.CountedFrames.push_back(&frame);
  TGIFGraphicControlExtension* control = TransparentControl(frame);
  const int transparent = control != nullptr ? control->TransparentIndex() : -1;
  const std::size_t entries = histogram.Tallies.size();
  const std::size_t size = frame.PixelDataSize();
  std::int64_t most = 0;
  for (const TColorTally& tally : histogram.Tallies) most = std::max(most, tally.Uses);

  // Counting all indices at once is exact as long as no count can reach the
  // limit and no pixel needs repair; otherwise the frame is counted pixel by
  // pixel, which stops and repairs where it must.
  bool transparentOccurs = false;
  bool counted = false;
  if (most < kUseLimit && static_cast<std::int64_t>(size) < kUseLimit - most) {
    TIndexCounts uses{};
    CountIndices(frame.PixelData(), size, uses);
    bool outside = false;
    for (std::size_t v = entries; v < uses.size(); ++v) {
      if (uses[v] != 0 && static_cast<int>(v) != transparent) outside = true;
    }
    if (!outside) {
      for (std::size_t v = 0; v < entries; ++v) {
        if (static_cast<int>(v) != transparent) histogram.Tallies[v].Uses += uses[v];
      }
      transparentOccurs = transparent >= 0 && uses[static_cast<std::size_t>(transparent)] != 0;
      counted = true;
    }
  }
  if (!counted) transparentOccurs = CountFrameByPixel(histogram, frame, transparent);
  if (control != nullptr && !transparentOccurs) {
    control->SetTransparentIndex(0);
    control->SetIsTransparent(false);
  }
  if (transparentOccurs) NeedsTransparent = true;
}

bool TColorMapOptimizer::CountFrameByPixel(THistogram& histogram, TGIFSubImage& frame, int transparent) {
  bool transparentOccurs = false;
  bool reported = false;
  const std::size_t entries = histogram.Tallies.size();
  std::uint8_t* p = frame.PixelData();
  std::uint8_t* end = p + frame.PixelDataSize();
  for (; p != end; ++p) {
    if (*p == transparent) {
      transparentOccurs = true;
      continue;
    }
    if (*p >= entries) {
      // One warning per frame is enough to say the frame was repaired.
      if (!reported) frame.ReportWarning(1, "Color not in color table");
      reported = true;
      *p = 0;
    }
    if (++histogram.Tallies[*p].Uses >= kUseLimit) break;
  }
  return transparentOccurs;
}

void TColorMapOptimizer::Count() {
  NeedsTransparent = false;
  const TGIFImageList& frames = Document.Frames();
  TGIFGlobalColorMap& global = Document.GlobalColors();
  if (!global.Empty()) {
    auto histogram = std::make_unique<THistogram>(global);
    for (int i = 0; i < frames.ItemCount(); ++i) {
      TGIFSubImage& frame = frames.FrameAt(i);
      if (frame.LocalColors().Empty() && !frame.IsBlank()) CountFrame(*histogram, frame);
    }
    if (!histogram->CountedFrames.empty()) Histograms.push_back(std::move(histogram));
  }
  for (int i = 0; i < frames.ItemCount(); ++i) {
    TGIFSubImage& frame = frames.FrameAt(i);
    if (frame.LocalColors().Empty() || frame.IsBlank()) continue;
    auto histogram = std::make_unique<THistogram>(frame.LocalColors());
    CountFrame(*histogram, frame);
    Histograms.push_back(std::move(histogram));
  }
}

void TColorMapOptimizer::Prune() {
  for (auto& histogram : Histograms) {
    auto& used = histogram->UsedList;
    QuickSort(used, ByUses);
    std::size_t first_unused = used.size();
    for (std::size_t i = 0; i < used.size(); ++i) {
      if (used[i]->Uses == 0) {
        first_unused = i;
        break;
      }
    }
    for (std::size_t i = first_unused; i < used.size(); ++i) used[i]->Uses = -1;
    used.resize(first_unused);
  }
}

void TColorMapOptimizer::MergeIdenticalColors() {
  Pool.clear();
  for (auto& histogram : Histograms) {
    Pool.insert(Pool.end(), histogram->UsedList.begin(), histogram->UsedList.end());
  }
  QuickSort(Pool, [](const TColorTally* a, const TColorTally* b) { return LargestFirst(a->Rgb, b->Rgb); });
  if (Pool.empty()) return;
  TColorTally* survivor = Pool.front();
  for (std::size_t i = 1; i < Pool.size(); ++i) {
    TColorTally* tally = Pool[i];
    if (tally->Rgb == survivor->Rgb) {
      survivor->Uses += tally->Uses;
      tally->Uses = 0;
      tally->MergedInto = survivor;
    } else {
      survivor = tally;
    }
  }
}

void TColorMapOptimizer::ChooseColors() {
  QuickSort(Pool, ByUses);
  const int limit = NeedsTransparent ? 255 : 256;
  KeptCount = 0;
  while (KeptCount < limit && KeptCount < static_cast<int>(Pool.size()) &&
         Pool[static_cast<std::size_t>(KeptCount)]->Uses != 0) {
    TColorTally* tally = Pool[static_cast<std::size_t>(KeptCount)];
    tally->NewIndex = KeptCount;
    NewColors[static_cast<std::size_t>(KeptCount)] = {RedOf(tally->Rgb), GreenOf(tally->Rgb), BlueOf(tally->Rgb)};
    ++KeptCount;
  }
  // Duplicates follow the colour they were merged into; colours that did not
  // fit go to the kept colour whose summed channel difference is smallest.
  // Every survivor has uses and so sorts before every merged duplicate.
  for (std::size_t k = static_cast<std::size_t>(KeptCount); k < Pool.size(); ++k) {
    TColorTally* tally = Pool[k];
    if (tally->Uses == 0) {
      tally->NewIndex = tally->MergedInto != nullptr ? tally->MergedInto->NewIndex : 0;
      continue;
    }
    int best = 765;
    int found = 0;
    for (int i = 0; i < KeptCount; ++i) {
      const TGIFColor& c = NewColors[static_cast<std::size_t>(i)];
      const int d = std::abs((int{RedOf(tally->Rgb)} - c.Red) + (int{GreenOf(tally->Rgb)} - c.Green) +
                             (int{BlueOf(tally->Rgb)} - c.Blue));
      if (d < best) {
        best = d;
        found = i;
      }
    }
    tally->NewIndex = found;
  }
  if (NeedsTransparent) {
    SharedTransparentIndex = static_cast<std::uint8_t>(KeptCount);
    NewColors[static_cast<std::size_t>(KeptCount)] = {0, 0, 0};
    ++KeptCount;
  }
}

void TColorMapOptimizer::Install() {
  const TGIFImageList& frames = Document.Frames();
  for (int i = 0; i < frames.ItemCount(); ++i) frames.FrameAt(i).LocalColors().ResetColors();
  TGIFGlobalColorMap& global = Document.GlobalColors();
  global.ReplaceEntries(std::span<const TGIFColor>(NewColors.data(), static_cast<std::size_t>(KeptCount)));
  global.SetIsSorted(true);
}

TColorTranslation TColorMapOptimizer::Translation(const THistogram& histogram) const {
  TColorTranslation table{};
  for (const TColorTally* tally : histogram.UsedList) {
    table[static_cast<std::size_t>(tally->OldIndex)] = static_cast<std::uint8_t>(tally->NewIndex);
  }
  return table;
}

TColorTranslation TColorMapOptimizer::FrameTable(const TColorTranslation& table, TGIFSubImage& frame) {
  TColorTranslation own = table;
  if (NeedsTransparent) {
    if (TGIFGraphicControlExtension* control = TransparentControl(frame)) {
      own[control->TransparentIndex()] = SharedTransparentIndex;
      control->SetTransparentIndex(SharedTransparentIndex);
    }
  }
  return own;
}

void TColorMapOptimizer::RemapHistogram(const THistogram& histogram) {
  const TColorTranslation table = Translation(histogram);
  for (TGIFSubImage* frame : histogram.CountedFrames) {
    const TColorTranslation own = FrameTable(table, *frame);
    TranslatePixels(frame->PixelData(), frame->PixelDataSize(), own);
  }
}

void TColorMapOptimizer::Remap() {
  for (auto& histogram : Histograms) RemapHistogram(*histogram);
}

void TColorMapOptimizer::Optimize() {
  Count();
  Prune();
  MergeIdenticalColors();
  ChooseColors();
  Install();
  Remap();
}

void PackColorMaps(TGIFImage& document) {
  TColorMapOptimizer optimizer(document);
  optimizer.Optimize();
}

}  // namespace tovasel
