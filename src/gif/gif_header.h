#pragma once

#include <cstdint>
#include <iosfwd>

#include "gif/colour_map.h"
#include "gif/gif_item.h"
#include "gif/gif_stream_writer.h"

namespace tovasel {

// The signature, the logical screen descriptor and the global colour map.
class TGIFHeader : public TGIFItem {
 public:
  explicit TGIFHeader(TGIFImage& owner);

  int ScreenWidth() const { return screenWidth_; }
  int ScreenHeight() const { return screenHeight_; }
  std::uint8_t ScreenPacked() const { return screenPacked_; }
  std::uint8_t BackgroundIndex() const { return backgroundIndex_; }
  std::uint8_t AspectRatio() const { return aspectRatio_; }
  void SetBackgroundIndex(std::uint8_t index) { backgroundIndex_ = index; }
  void SetAspectRatio(std::uint8_t ratio) { aspectRatio_ = ratio; }

  // Stores the screen size as it stands; the document's ResizeScreenWidth /
  // ResizeScreenHeight are the checked way to change it.
  void SetScreenWidth(int width);
  void SetScreenHeight(int height);

  TGIFGlobalColorMap& GlobalColors() { return globalColors_; }
  const TGIFGlobalColorMap& GlobalColors() const { return globalColors_; }

  // Empties the global map and zeroes the seven descriptor bytes.
  void ResetHeader();
  // Recomputes the descriptor's packed byte from the colour maps.
  void PreparePacked();
  void CopyFrom(const TGIFHeader& other);
  void CopyFrom(const TGIFColorMap& colors);

  // What the stream's header says of the document as it stands, the packed
  // byte prepared. Raises "Unsupported GIF version" for a document without
  // frames. Valid while the global map is unchanged.
  TGifHead Head();
  // The same for a stream whose frames are not all in the document: the
  // file version and the largest colour table bits of every frame written.
  TGifHead HeadFor(int version, int maxColorBits);
  // Signature, logical screen descriptor and global colour table.
  void SaveToStream(std::ostream& stream) override;

 private:
  void PreparePacked(int maxColorBits);

  std::uint16_t screenWidth_ = 0;
  std::uint16_t screenHeight_ = 0;
  std::uint8_t screenPacked_ = 0;
  std::uint8_t backgroundIndex_ = 0;
  std::uint8_t aspectRatio_ = 0;
  TGIFGlobalColorMap globalColors_;
};

// The one-byte block that ends a GIF stream.
class TGIFTrailer : public TGIFItem {
 public:
  using TGIFItem::TGIFItem;
  void SaveToStream(std::ostream& stream) override;
};

}  // namespace tovasel
