// Ordering one colour map by use (the sort flag of the GIF89a standard),
// remapping the frames that draw with it.

#include "colour/colour_map_sort.h"

#include <vector>

#include "colour/quick_sort.h"
#include "gif/colour_map.h"
#include "gif/gif_image.h"
#include "gif/sub_image.h"

namespace tovasel {

bool SortByUse(TGIFColorMap& map) {
  // The global map of a document without frames has nothing to count.
  if (dynamic_cast<const TGIFGlobalColorMap*>(&map) != nullptr) {
    const TGIFImage* document = map.OwnerImage();
    if (document == nullptr || document->Empty()) return false;
  }
  const int count = map.EntryCount();
  if (count < 2) return false;
  map.SetIsSorted(true);

  std::vector<TColorUsage> usage(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) usage[static_cast<std::size_t>(i)].Index = i;
  map.CountUses(usage);
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
  map.RemapFrames(table);

  const auto old = map.Entries();
  std::vector<TGIFColor> reordered(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    reordered[static_cast<std::size_t>(i)] = old[static_cast<std::size_t>(usage[static_cast<std::size_t>(i)].Index)];
  }
  reordered.resize(static_cast<std::size_t>(kept));
  map.ReplaceEntries(reordered);
  map.SetIsSorted(true);
  map.NotifyChanged();
  return true;
}

}  // namespace tovasel
