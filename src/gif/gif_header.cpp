#include "gif/gif_header.h"

#include <ostream>

#include "gif/gif_exception.h"
#include "gif/gif_image.h"
#include "gif/stream_output.h"

namespace tovasel {

TGIFHeader::TGIFHeader(TGIFImage& owner) : TGIFItem(&owner), global_colors_(*this) {}

void TGIFHeader::SetScreenWidth(int width) {
  if (width < 0 || width > 0xFFFF) throw GIFException("Invalid image dimensions");
  screen_width_ = static_cast<std::uint16_t>(width);
}

void TGIFHeader::SetScreenHeight(int height) {
  if (height < 0 || height > 0xFFFF) throw GIFException("Invalid image dimensions");
  screen_height_ = static_cast<std::uint16_t>(height);
}

void TGIFHeader::ResetHeader() {
  global_colors_.ResetColors();
  screen_width_ = screen_height_ = 0;
  screen_packed_ = background_index_ = aspect_ratio_ = 0;
}

// Logical Screen Descriptor packed byte: global table flag, colour
// resolution, sort flag and global table size.
void TGIFHeader::PreparePacked() {
  const TGIFImage& document = *OwnerImage();
  std::uint8_t packed = 0;
  const bool hasGlobal = !global_colors_.Empty();
  if (hasGlobal) {
    packed |= 0x80;
    if (global_colors_.IsSorted()) packed |= 0x08;
  }
  packed |= static_cast<std::uint8_t>((document.MaxColorResolution() & 0x07) << 4);
  // With a global table the size bits must describe exactly the table that
  // is written, or decoders read the wrong number of entries.
  const int sizeBits = hasGlobal ? global_colors_.ColorBits() - 1 : document.MaxColorBits() - 1;
  packed |= static_cast<std::uint8_t>(sizeBits & 0x07);
  screen_packed_ = packed;
}

void TGIFHeader::CopyFrom(const TGIFHeader& other) {
  global_colors_.CopyFrom(other.global_colors_);
  screen_width_ = other.screen_width_;
  screen_height_ = other.screen_height_;
  screen_packed_ = other.screen_packed_;
  background_index_ = other.background_index_;
  aspect_ratio_ = other.aspect_ratio_;
}

void TGIFHeader::CopyFrom(const TGIFColorMap& colors) {
  ResetHeader();
  global_colors_.CopyFrom(colors);
}

// Header and Logical Screen Descriptor, then the Global Color Table.
void TGIFHeader::SaveToStream(std::ostream& stream) {
  const int version = OwnerImage()->FileVersion();
  if (version != 1 && version != 2) throw GIFException("Unsupported GIF version");
  WriteBytes(stream, version == 2 ? "GIF89a" : "GIF87a", 6);
  PreparePacked();
  const std::uint8_t descriptor[7] = {
      static_cast<std::uint8_t>(screen_width_), static_cast<std::uint8_t>(screen_width_ >> 8),
      static_cast<std::uint8_t>(screen_height_), static_cast<std::uint8_t>(screen_height_ >> 8),
      screen_packed_, background_index_, aspect_ratio_};
  WriteBytes(stream, descriptor, sizeof descriptor);
  if ((screen_packed_ & 0x80) != 0) global_colors_.WriteTable(stream);
}

void TGIFTrailer::SaveToStream(std::ostream& stream) { WriteByte(stream, 0x3B); }

}  // namespace tovasel
