// Ordering one colour map by use (the sort flag of the GIF89a standard),
// remapping the frames that draw with it.

#include <vector>

#include "colour/frame_transparency.h"
#include "colour/quick_sort.h"
#include "gif/color_map.h"
#include "gif/gif_image.h"
#include "gif/sub_image.h"

namespace tovasel {

namespace {

void CountFrame(const TGIFSubImage& frame, std::vector<TColorUsage>& usage) {
  if (frame.IsBlank()) return;
  const std::uint8_t* p = frame.PixelData();
  const std::uint8_t* end = p + frame.PixelDataSize();
  const std::size_t size = usage.size();
  for (; p != end; ++p) {
    // An index outside the map has no entry to count against.
    if (*p < size) ++usage[*p].Count;
  }
}

void RemapFrame(TGIFSubImage& frame, const TColorTranslation& table) {
  if (!frame.IsBlank()) {
    std::uint8_t* p = frame.PixelData();
    std::uint8_t* end = p + frame.PixelDataSize();
    for (; p != end; ++p) *p = table[*p];
  }
  if (TGIFGraphicControlExtension* control = TransparentControl(frame)) {
    control->SetTransparentIndex(table[control->TransparentIndex()]);
  }
}

// The frames that draw with the global map: those without local colours,
// while the global map has entries.
template <class Fn>
void ForEachGlobalUser(const TGIFGlobalColorMap& map, Fn fn) {
  TGIFImage* document = map.OwnerImage();
  if (document == nullptr || map.Empty()) return;
  const TGIFImageList& frames = document->Frames();
  for (int i = 0; i < frames.ItemCount(); ++i) {
    TGIFSubImage& frame = frames.FrameAt(i);
    if (frame.LocalColors().Empty()) fn(frame);
  }
}

}  // namespace

void TGIFColorMap::CountUses(std::vector<TColorUsage>&) const {}
void TGIFColorMap::RemapFrames(const TColorTranslation&) {}

void TGIFGlobalColorMap::CountUses(std::vector<TColorUsage>& usage) const {
  ForEachGlobalUser(*this, [&](TGIFSubImage& frame) { CountFrame(frame, usage); });
}

void TGIFGlobalColorMap::RemapFrames(const TColorTranslation& table) {
  ForEachGlobalUser(*this, [&](TGIFSubImage& frame) { RemapFrame(frame, table); });
}

bool TGIFGlobalColorMap::SortByUse() {
  TGIFImage* document = OwnerImage();
  if (document == nullptr || document->Empty()) return false;
  return TGIFColorMap::SortByUse();
}

void TGIFLocalColorMap::CountUses(std::vector<TColorUsage>& usage) const {
  CountFrame(OwnerFrame(), usage);
}

void TGIFLocalColorMap::RemapFrames(const TColorTranslation& table) {
  RemapFrame(OwnerFrame(), table);
}

bool TGIFColorMap::SortByUse() {
  const int count = EntryCount();
  if (count < 2) return false;
  SetIsSorted(true);

  std::vector<TColorUsage> usage(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) usage[static_cast<std::size_t>(i)].Index = i;
  CountUses(usage);
  QuickSort(usage, [](const TColorUsage& a, const TColorUsage& b) { return LargestFirst(a.Count, b.Count); });

  bool moved = false;
  for (int i = 0; i < count && !moved; ++i) moved = usage[static_cast<std::size_t>(i)].Index != i;
  if (!moved) return true;

  // Indices past the map keep their value: they have no entry to follow.
  TColorTranslation table;
  for (int i = 0; i < 256; ++i) table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  int kept = count;
  for (int i = 0; i < count; ++i) {
    const TColorUsage& u = usage[static_cast<std::size_t>(i)];
    table[static_cast<std::size_t>(u.Index)] = static_cast<std::uint8_t>(i);
    if (u.Count == 0 && kept == count) kept = i;
  }
  RemapFrames(table);

  const auto old = Entries();
  std::vector<TGIFColor> reordered(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    reordered[static_cast<std::size_t>(i)] = old[static_cast<std::size_t>(usage[static_cast<std::size_t>(i)].Index)];
  }
  reordered.resize(static_cast<std::size_t>(kept));
  ReplaceEntries(reordered);
  SetIsSorted(true);
  NotifyChanged();
  return true;
}

}  // namespace tovasel
