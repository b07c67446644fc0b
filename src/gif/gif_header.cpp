#include "gif/gif_header.h"

#include <ostream>

#include "gif/gif_exception.h"
#include "gif/gif_image.h"
#include "gif/stream_output.h"

namespace tovasel {

TGIFHeader::TGIFHeader(TGIFImage& owner) : TGIFItem(&owner), globalColors_(*this) {}

void TGIFHeader::SetScreenWidth(int width) {
  if (width < 0 || width > 0xFFFF) throw GIFException("Invalid image dimensions");
  screenWidth_ = static_cast<std::uint16_t>(width);
}

void TGIFHeader::SetScreenHeight(int height) {
  if (height < 0 || height > 0xFFFF) throw GIFException("Invalid image dimensions");
  screenHeight_ = static_cast<std::uint16_t>(height);
}

void TGIFHeader::ResetHeader() {
  globalColors_.ResetColors();
  screenWidth_ = screenHeight_ = 0;
  screenPacked_ = backgroundIndex_ = aspectRatio_ = 0;
}

// Logical Screen Descriptor packed byte: global table flag, colour
// resolution, sort flag and global table size.
void TGIFHeader::PreparePacked() { PreparePacked(OwnerImage()->MaxColorBits()); }

void TGIFHeader::PreparePacked(int maxColorBits) {
  std::uint8_t packed = 0;
  const bool hasGlobal = !globalColors_.Empty();
  if (hasGlobal) {
    packed |= 0x80;
    if (globalColors_.IsSorted()) packed |= 0x08;
  }
  packed |= static_cast<std::uint8_t>(((maxColorBits - 1) & 0x07) << 4);
  // With a global table the size bits must describe exactly the table that
  // is written, or decoders read the wrong number of entries.
  const int sizeBits = hasGlobal ? globalColors_.ColorBits() - 1 : maxColorBits - 1;
  packed |= static_cast<std::uint8_t>(sizeBits & 0x07);
  screenPacked_ = packed;
}

void TGIFHeader::CopyFrom(const TGIFHeader& other) {
  globalColors_.CopyFrom(other.globalColors_);
  screenWidth_ = other.screenWidth_;
  screenHeight_ = other.screenHeight_;
  screenPacked_ = other.screenPacked_;
  backgroundIndex_ = other.backgroundIndex_;
  aspectRatio_ = other.aspectRatio_;
}

void TGIFHeader::CopyFrom(const TGIFColorMap& colors) {
  ResetHeader();
  globalColors_.CopyFrom(colors);
}

TGifHead TGIFHeader::Head() { return HeadFor(OwnerImage()->FileVersion(), OwnerImage()->MaxColorBits()); }

TGifHead TGIFHeader::HeadFor(int version, int maxColorBits) {
  if (version != 1 && version != 2) throw GIFException("Unsupported GIF version");
  PreparePacked(maxColorBits);
  return {version == 2,     screenWidth_,     screenHeight_,
          screenPacked_,    backgroundIndex_, aspectRatio_,
          globalColors_.Entries()};
}

void TGIFHeader::SaveToStream(std::ostream& stream) { WriteHeadBlock(stream, Head()); }

void TGIFTrailer::SaveToStream(std::ostream& stream) { WriteByte(stream, 0x3B); }

}  // namespace tovasel
