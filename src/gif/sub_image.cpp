#include "gif/sub_image.h"

#include <cstring>
#include <ostream>

#include "gif/gif_exception.h"
#include "gif/gif_image.h"
#include "gif/lzw_encoder.h"
#include "gif/rle_encoder.h"

namespace tovasel {

TGIFSubImage::TGIFSubImage(TGIFImage& owner)
    : TGIFItem(&owner), localColors_(*this), extensions_(&owner) {}

TGIFSubImage::~TGIFSubImage() {
  // Extensions reach back into the frame when they die, so they go while the
  // frame is still whole.
  extensions_.ClearItems();
}

void TGIFSubImage::Place(int left, int top, int width, int height) { PlaceFrame(left, top, width, height, true); }

void TGIFSubImage::PlaceForOverwrite(int left, int top, int width, int height) {
  PlaceFrame(left, top, width, height, false);
}

void TGIFSubImage::PlaceFrame(int left, int top, int width, int height, bool zeroed) {
  const auto fits = [](int position, int extent) {
    return position >= 0 && extent >= 0 && position <= 0xFFFF && extent <= 0xFFFF &&
           position + extent <= 0xFFFF;
  };
  if (!fits(left, width) || !fits(top, height)) throw GIFException("Invalid image dimensions");

  const bool resized = width != width_ || height != height_;
  left_ = static_cast<std::uint16_t>(left);
  top_ = static_cast<std::uint16_t>(top);
  width_ = static_cast<std::uint16_t>(width);
  height_ = static_cast<std::uint16_t>(height);
  if (resized && zeroed) AllocPixels();
  if (resized && !zeroed) {
    pixels_.clear();
    pixels_.shrink_to_fit();
    pixels_.resize(static_cast<std::size_t>(width_) * height_);
  }

  TGIFImage& document = *OwnerImage();
  TGIFHeader& header = document.HeaderBlock();
  // A new document's screen is 0 x 0 and silently takes the first frame's
  // size; a frame that overflows a screen already set is worth a warning.
  bool overflowed = false;
  if (header.ScreenWidth() < left + width) {
    if (header.ScreenWidth() > 0) {
      ReportWarning(1, "Image width too small for contained frames");
      overflowed = true;
    }
    document.ResizeScreenWidth(left + width);
  }
  if (header.ScreenHeight() < top + height) {
    if (header.ScreenHeight() > 0) {
      ReportWarning(1, "Image height too small for contained frames");
      overflowed = true;
    }
    document.ResizeScreenHeight(top + height);
  }
  if (overflowed) ReportWarning(1, "Image exceeds Logical Screen size");
}

void TGIFSubImage::CropTo(int left, int top, int width, int height) {
  // The rows are copied into a store of the new size that is not zeroed
  // first: every byte is written once.
  const std::size_t w = static_cast<std::size_t>(width);
  TPixelStore kept(w * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row =
        pixels_.data() + static_cast<std::size_t>(top + y) * width_ + static_cast<std::size_t>(left);
    std::memcpy(kept.data() + static_cast<std::size_t>(y) * w, row, w);
  }
  pixels_.swap(kept);
  // Inside the frame, so inside the screen and within the 16-bit range.
  left_ = static_cast<std::uint16_t>(left_ + left);
  top_ = static_cast<std::uint16_t>(top_ + top);
  width_ = static_cast<std::uint16_t>(width);
  height_ = static_cast<std::uint16_t>(height);
}

void TGIFSubImage::AllocPixels() {
  pixels_.clear();
  pixels_.shrink_to_fit();
  const std::size_t size = static_cast<std::size_t>(width_) * height_;
  if (size > 0) pixels_.assign(size, 0);
}

void TGIFSubImage::ReleasePixels() {
  pixels_.clear();
  pixels_.shrink_to_fit();
}

void TGIFSubImage::EnsurePixels() {
  if (pixels_.empty()) AllocPixels();
  if (pixels_.empty()) throw GIFException("Image is empty");
}

std::uint8_t* TGIFSubImage::RowAt(int y) {
  if (y < 0 || y >= height_) throw GIFException("Invalid pixel coordinates");
  EnsurePixels();
  return pixels_.data() + static_cast<std::size_t>(y) * width_;
}

std::uint8_t TGIFSubImage::PixelAt(int x, int y) {
  if (x < 0 || x >= width_) throw GIFException("Invalid pixel coordinates");
  return RowAt(y)[x];
}

void TGIFSubImage::SetInterlaced(bool interlaced) {
  packed_ = interlaced ? (packed_ | 0x40) : (packed_ & ~0x40);
}

TGIFColorMap& TGIFSubImage::EffectiveColors() {
  if (!localColors_.Empty()) return localColors_;
  TGIFGlobalColorMap& global = OwnerImage()->GlobalColors();
  if (!global.Empty()) return global;
  return localColors_;
}

const TGIFColorMap& TGIFSubImage::EffectiveColors() const {
  return const_cast<TGIFSubImage*>(this)->EffectiveColors();
}

void TGIFSubImage::Clear() {
  extensions_.ClearItems();
  localColors_.ResetColors();
  ReleasePixels();
  Place(left_, top_, width_, 0);
  Place(left_, top_, 0, 0);
  hasTransparency_ = false;
  controlExtension_ = nullptr;
}

int TGIFSubImage::RequiredVersion() const {
  return localColors_.IsSorted() || extensions_.ItemCount() > 0 ? 2 : 1;
}

// Image Descriptor packed byte: local table flag, interlace, sort flag and
// local table size. Computed, never stored while writing: the writer's
// encoding threads read the frame at the same time.
std::uint8_t TGIFSubImage::DescriptorPacked() const {
  if (localColors_.Empty()) return packed_ & 0x58;
  std::uint8_t packed = 0x80;
  if (localColors_.IsSorted()) packed |= 0x20;
  packed |= static_cast<std::uint8_t>(localColors_.ColorBits() - 1);
  // The interlace bit survives: an interlaced frame must be written as one.
  return static_cast<std::uint8_t>(packed | (packed_ & 0x40));
}

TGifImageHead TGIFSubImage::ImageHead() const { return {left_, top_, width_, height_, DescriptorPacked()}; }

TGIFSubImage::TCodeSize TGIFSubImage::CodeSizeFor(int globalBits) const {
  if (!localColors_.Empty()) return {localColors_.ColorBits(), localColors_.EntryCount()};
  return {globalBits, 1 << globalBits};
}

void TGIFSubImage::EncodePixels(std::ostream& stream, int globalBits) const {
  const TCodeSize code = CodeSizeFor(globalBits);
  std::unique_ptr<TGIFEncoder> encoder;
  if (OwnerImage()->EncoderKind() == ekRLE) {
    encoder = std::make_unique<TRLEEncoder>();
  } else {
    encoder = std::make_unique<TLZWEncoder>();
  }
  encoder->CompressImage(stream, code.Bits, code.PixelLimit, PixelData(), IsInterlaced(), height_, width_);
}

bool TGIFSubImage::EncodePixelsFrom(std::ostream& stream, int globalBits, const TRecordedLzw& codes,
                                    const TColorTranslation& renaming) const {
  if (IsBlank() || OwnerImage()->EncoderKind() == ekRLE || codes.Width != width_ || codes.Height != height_ ||
      codes.Interlaced != IsInterlaced()) {
    return false;
  }
  const TCodeSize code = CodeSizeFor(globalBits);
  if (!TLzwReplay::CarriesOver(codes, code.Bits, code.PixelLimit, renaming)) return false;
  TLzwReplay replay(codes, renaming);
  replay.CompressImage(stream, code.Bits, code.PixelLimit, PixelData(), IsInterlaced(), height_, width_);
  return true;
}

bool TGIFSubImage::EncodesLike(const TGIFSubImage& other, int globalBits) const {
  return width_ == other.width_ && height_ == other.height_ && IsInterlaced() == other.IsInterlaced() &&
         OwnerImage()->EncoderKind() == other.OwnerImage()->EncoderKind() &&
         CodeSizeFor(globalBits) == other.CodeSizeFor(globalBits) && pixels_ == other.pixels_;
}

// Extensions, then Image Descriptor, Local Color Table and Table Based
// Image Data.
void TGIFSubImage::SaveToStream(std::ostream& stream) {
  TGifStreamWriter writer(stream);
  SaveTo(writer, OwnerImage()->MaxColorBits());
}

void TGIFSubImage::SaveTo(TGifStreamWriter& writer, int globalBits) {
  if (SaveHeadTo(writer)) EncodePixels(writer.Stream(), globalBits);
}

bool TGIFSubImage::SaveHeadTo(TGifStreamWriter& writer) {
  extensions_.SaveToStream(writer.Stream());
  if (IsBlank()) return false;
  writer.WriteImageHead(ImageHead(), localColors_.Entries());
  return true;
}

}  // namespace tovasel
