#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <vector>

#include "gif/colour_map.h"
#include "gif/reduction_settings.h"

namespace tovasel {

class TGIFImage;
class TGIFSubImage;

// The colour-map packing and frame compaction that the conversion runs over
// the whole document after every added frame, done in time that does not
// grow with the frames already there. After every AfterFrameAdded the
// document is exactly what PackColorMaps and CompactFrames over the whole
// document would have made of it, except that the pixels of frames drawing
// with the global map may lag behind the latest renumbering of that map:
// Finish (or any frame access through FrameReady) brings them up to date.
//
// Why the shortcut is exact:
// - Packing counts the global map's frames afresh each time, but those
//   counts only follow the renumbering: they are kept as one running table
//   and the renumbering tables are composed per frame when it is read.
// - Merging a frame against its predecessor again finds nothing new as long
//   as no colour of the earlier frames changed (a packing that pushes a
//   used colour out of the map does) and no frame between two others was
//   deleted; cropping again finds no new border. Otherwise the call falls
//   back to the whole-document passes.
class TIncrementalPasses {
 public:
  explicit TIncrementalPasses(TGIFImage& document) : document_(document) {}

  // Runs, for the frame just appended, what PackColorMaps (when Palette)
  // and then CompactFrames with Compact (when not empty) would do.
  void AfterFrameAdded(bool palette, TCompactOptions compact);

  // Brings every frame's pixels up to date.
  void Finish();

  // Follows the newest frame from now on and returns a token for
  // RenumberingSince; 0, following nothing, when it is followed already or
  // the passes run over the whole document every time.
  std::uint64_t FollowNewest();
  // The table that takes the pixels frame `index` had when it was followed
  // with `token` to the ones it has now, or nullptr when that frame changed
  // otherwise since (a pass over the whole document) or is another one.
  // Renumbering changes which value a pixel has, never which pixels are
  // equal: the frame's image data can be encoded early (TLzwReplay).
  const TColorTranslation* RenumberingSince(int index, std::uint64_t token) const;

 private:
  struct TFrameState {
    // Renumbering tables already applied to the frame's pixels.
    std::size_t Epoch = 0;
    // The frame's transparent index when its pixels were last written, or
    // -1: the pixels holding it are exactly the transparent ones since.
    int StoredTransparent = -1;
    // Pixels equal to the transparent index (when the frame has one).
    std::int64_t TransparentPixels = 0;
    // Indices known not to occur in the frame's pixels: a renumbering that
    // moves none of the others leaves the pixels as they are.
    std::bitset<256> Absent{};
    // The token the frame is followed with (0: not followed), and the
    // renumbering its pixels went through since.
    std::uint64_t Followed = 0;
    TColorTranslation Renumbered{};
    // The pixels still hold the frame's own colour indices, which Own takes
    // to the global map as it stood after the frame's packing: a frame that
    // nothing reads before the end goes through one table instead of two.
    bool Pending = false;
    TColorTranslation Own{};
  };

  // False when the shortcut does not apply. Recolored tells whether a
  // colour of the earlier frames changed. With keepOwn, the newest frame's
  // pixels may keep their own indices (Pending) when nothing reads them
  // before the end.
  bool PackFast(bool& recolored, bool keepOwn);
  void CompactNewest(TCompactOptions compact);
  void RunWholeDocument(bool palette, TCompactOptions compact);
  void Materialize(int index);
  // Translates the frame's pixels, keeping its account of absent indices
  // and, when followed, of its renumbering.
  void Renumber(TGIFSubImage& frame, TFrameState& state, const TColorTranslation& table);
  void MaterializeAll();
  // Recounts the running tables from the document's frames as they stand.
  void Resynchronize();
  // Counts the newest frame into the running tables; Unchanged tells that
  // nothing touched its pixels since the packing counted them.
  void CountNewest(bool unchanged);
  static bool DrawsWithGlobal(const TGIFSubImage& frame);

  TGIFImage& document_;
  std::vector<TFrameState> states_;
  std::vector<TColorTranslation> renumberings_;
  // Uses of each global entry by the non-transparent pixels of the frames
  // that draw with the global map.
  std::array<std::int64_t, 256> counts_{};
  // The newest frame's uses of each global entry and its transparent
  // pixels, as the packing counted them (when Known).
  struct TNewestCounts {
    bool Known = false;
    std::array<std::int64_t, 256> Uses{};
    std::int64_t TransparentPixels = 0;
  } newest_;
  bool started_ = false;
  bool firstPalette_ = false;
  TCompactOptions firstCompact_;
  // The options changed during the conversion: every pass runs whole.
  bool wholeDocument_ = false;
  // The last compaction ran whole and deleted a frame before the newest.
  bool compactWhole_ = false;
  // The newest frame survived this call's crop.
  bool newestAlive_ = true;
  std::uint64_t follows_ = 0;
};

}  // namespace tovasel
