#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "colour/index_loops.h"
#include "gif/colour_map.h"

namespace tovasel {

class TGIFImage;
class TGIFSubImage;

// One colour-map entry's count in the colour-map merge.
struct TColorTally {
  // Pixel count; 64-bit so that summing the counts of merged duplicates
  // cannot overflow. -1 marks an entry pruned as unused.
  std::int64_t Uses = 0;
  int OldIndex = 0;
  // Index in the new global map; 256 until one is assigned.
  int NewIndex = 256;
  // red + 256 * green + 65536 * blue
  std::uint32_t Rgb = 0;
  // The tally this duplicate colour was merged into, if any.
  TColorTally* MergedInto = nullptr;
};

// The counts of one colour map and the frames counted into it.
struct THistogram {
  explicit THistogram(const TGIFColorMap& map);
  const TGIFColorMap* SourceMap;
  std::vector<TColorTally> Tallies;
  std::vector<TColorTally*> UsedList;
  std::vector<TGIFSubImage*> CountedFrames;
};

// Merges every colour map of a document into one global map of the used
// colours, most used first, with identical colours merged and at most 256
// entries (255 and one shared black transparent entry when some frame is
// transparent). Every frame is remapped to it and loses its local map.
class TColorMapOptimizer {
 public:
  explicit TColorMapOptimizer(TGIFImage& document) : Document(document) {}
  void Optimize();

  // The stages of Optimize, in its order, for a caller that supplies some
  // histograms' counts itself (the conversion's incremental packing).
  void CountFrame(THistogram& histogram, TGIFSubImage& frame);
  void Prune();
  void MergeIdenticalColors();
  void ChooseColors();
  void Install();
  // The old-index to new-index table of one histogram, once the colours
  // are chosen, and its application to the frames counted into it.
  TColorTranslation Translation(const THistogram& histogram) const;
  void RemapHistogram(const THistogram& histogram);
  // The table RemapHistogram takes one of the histogram's frames through
  // (its Translation, with the frame's transparent index moved to the shared
  // one, which the frame then names).
  TColorTranslation FrameTable(const TColorTranslation& table, TGIFSubImage& frame);

  TGIFImage& Document;
  std::vector<std::unique_ptr<THistogram>> Histograms;
  std::vector<TColorTally*> Pool;
  bool NeedsTransparent = false;
  int KeptCount = 0;
  std::uint8_t SharedTransparentIndex = 0;
  std::array<TGIFColor, 256> NewColors{};

 private:
  void Count();
  void Remap();
  // Counting pixel by pixel, for frames where a count may reach the limit
  // or a pixel lies outside the map. Returns whether the transparent
  // index occurs.
  bool CountFrameByPixel(THistogram& histogram, TGIFSubImage& frame, int transparent);
};

// Merges every colour map of the document into one global map of the used
// colours, through one TColorMapOptimizer.
void PackColorMaps(TGIFImage& document);

}  // namespace tovasel
