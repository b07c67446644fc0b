#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/bitmap.h"
#include "imaging/dib.h"
#include "imaging/palette.h"

namespace tovasel {

// One node of the colour octree. Leaves count the pixels that reached them
// and sum their channels; inner nodes wait in their level's reducible list.
// Counts and sums are 64-bit so that no image size can overflow them.
struct TOctreeNode {
  bool Terminal = false;
  std::int64_t Hits = 0;
  std::int64_t SumRed = 0;
  std::int64_t SumGreen = 0;
  std::int64_t SumBlue = 0;
  TOctreeNode* NextReducible = nullptr;
  std::array<std::unique_ptr<TOctreeNode>, 8> Children;
};

// Octree colour quantiser: every distinct colour gets its own leaf at
// LeafDepth; whenever there are more than ColorLimit leaves, the most
// recently created inner node of the deepest level that has one is folded
// into a leaf. Pixel counts take no part in that choice.
class TColorQuantizer {
 public:
  TColorQuantizer(int colorLimit, int leafDepth);
  ~TColorQuantizer();
  TColorQuantizer(const TColorQuantizer&) = delete;
  TColorQuantizer& operator=(const TColorQuantizer&) = delete;

  // Feeds every pixel of a 24-bit image, rows top to bottom, pixels left to
  // right, collapsing after each pixel while there are too many leaves.
  void AddImage(const TDIBReader& reader);
  // One colour at a time, as AddImage does for each pixel.
  void AddColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

  // Writes one (blue, green, red, 0) entry per leaf, in tree order, from
  // entry 0 on; returns the number written. Entries past the end of `table`
  // are not written.
  int FillColorTable(std::vector<TRGBQuad>& table) const;

  int LeafTotal() const { return leafTotal_; }

 private:
  std::unique_ptr<TOctreeNode> CreateNode(int level);
  // False when there is nothing left to collapse.
  bool CollapseOne();

  int colorLimit_;
  int leafDepth_;
  std::unique_ptr<TOctreeNode> root_;
  int leafTotal_ = 0;
  std::array<TOctreeNode*, 8> reducibleByLevel_{};
};

// The adaptive palette of a 24-bit image. Without system colours: exactly
// colorCount entries (entries past the number of leaves are black). With
// them: 256 entries, the first ten static colours, 236 octree colours, the
// last ten static colours.
TColorPalette BuildOctreePalette(const TDIBReader& reader, int colorCount, int leafDepth,
                                 bool withSystemColors);

}  // namespace tovasel
