#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "gif/colour_map.h"
#include "gif/gif_item.h"
#include "gif/gif_stream_writer.h"

namespace tovasel {

class TGIFGraphicControlExtension;
struct TRecordedLzw;

// An allocator whose value-less construction leaves a byte unset, so that a
// store about to be written in full is not zeroed first.
template <typename T>
struct TUnsetAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = TUnsetAllocator<U>;
  };
  TUnsetAllocator() = default;
  template <typename U>
  TUnsetAllocator(const TUnsetAllocator<U>&) noexcept {}
  template <typename U>
  void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

// One frame: image descriptor, pixel indices (rows top to bottom, FrameWidth
// bytes each, no padding), optional local colour map and the extension
// blocks written before the image.
class TGIFSubImage : public TGIFItem {
 public:
  explicit TGIFSubImage(TGIFImage& owner);
  ~TGIFSubImage() override;

  int FrameLeft() const { return left_; }
  int FrameTop() const { return top_; }
  int FrameWidth() const { return width_; }
  int FrameHeight() const { return height_; }
  void SetFrameLeft(int left) { Place(left, top_, width_, height_); }
  void SetFrameTop(int top) { Place(left_, top, width_, height_); }
  void SetFrameWidth(int width) { Place(left_, top_, width, height_); }
  void SetFrameHeight(int height) { Place(left_, top_, width_, height); }

  // Moves and sizes the frame. A new size replaces the pixels with a zeroed
  // buffer; the logical screen grows to hold the frame (with warnings when
  // it was already set). Values are 16-bit in the file: a coordinate outside
  // 0..65535, or a right or bottom edge past 65535, raises "Invalid image
  // dimensions" and changes nothing.
  void Place(int left, int top, int width, int height);
  // Place for a caller about to write every pixel: a new size leaves the
  // new pixels unset rather than zeroed.
  void PlaceForOverwrite(int left, int top, int width, int height);

  // Null when the frame has no area.
  // Cuts the frame down to the rectangle at (left, top) of width x height
  // in its own coordinates, which must lie inside it and not be empty,
  // keeping the pixels there; the frame stays where it was on the screen.
  void CropTo(int left, int top, int width, int height);

  std::uint8_t* PixelData() { return pixels_.empty() ? nullptr : pixels_.data(); }
  const std::uint8_t* PixelData() const { return pixels_.empty() ? nullptr : pixels_.data(); }
  std::size_t PixelDataSize() const { return pixels_.size(); }

  void AllocPixels();
  void ReleasePixels();
  // Raises "Image is empty" when the frame has no area.
  void EnsurePixels();
  // Raises "Invalid pixel coordinates" outside the frame.
  std::uint8_t* RowAt(int y);
  std::uint8_t PixelAt(int x, int y);

  bool IsBlank() const { return pixels_.empty() || width_ == 0 || height_ == 0; }
  bool IsInterlaced() const { return (packed_ & 0x40) != 0; }
  void SetInterlaced(bool interlaced);
  // The descriptor's packed byte for the frame as it stands: the local
  // table's flag, sort flag and size, and the interlace bit.
  std::uint8_t DescriptorPacked() const;
  // The image descriptor the frame is written with.
  TGifImageHead ImageHead() const;

  TGIFLocalColorMap& LocalColors() { return localColors_; }
  const TGIFLocalColorMap& LocalColors() const { return localColors_; }
  // The local map when it has entries, else the global one when that has
  // entries, else the (empty) local map.
  TGIFColorMap& EffectiveColors();
  const TGIFColorMap& EffectiveColors() const;
  int ColorBits() const { return localColors_.ColorBits(); }
  int ColorResolution() const { return ColorBits() - 1; }

  TGIFExtensionList& FrameExtensions() { return extensions_; }
  const TGIFExtensionList& FrameExtensions() const { return extensions_; }

  // True while the frame's graphic control extension has its transparent
  // flag set; kept up to date by that extension.
  bool HasTransparency() const { return hasTransparency_; }
  void SetHasTransparency(bool value) { hasTransparency_ = value; }
  // The first graphic control extension created on the frame, or null.
  TGIFGraphicControlExtension* ControlExtension() const { return controlExtension_; }
  void SetControlExtension(TGIFGraphicControlExtension* extension) {
    controlExtension_ = extension;
  }

  // Destroys the extensions, empties the local map and the pixels and
  // makes the frame 0 x 0.
  void Clear();

  int RequiredVersion() const override;
  // Minimum code size, image data sub-blocks and terminator. A frame
  // drawing with the global map is written with globalBits bits, the
  // owner's MaxColorBits.
  void EncodePixels(std::ostream& stream, int globalBits) const;
  // Writes what EncodePixels would, from codes recorded for pixels that
  // the frame's now are under `renaming`, and returns true; returns false,
  // writing nothing, when the codes do not carry over (see TLzwReplay) or
  // the frame is not what they were recorded for.
  bool EncodePixelsFrom(std::ostream& stream, int globalBits, const TRecordedLzw& codes,
                        const TColorTranslation& renaming) const;
  // Whether EncodePixels writes the same image data for both frames: the
  // same pixels, size and interlacing, code size and pixel limit, and
  // encoder.
  bool EncodesLike(const TGIFSubImage& other, int globalBits) const;
  // Extensions, image descriptor, local colour table and image data.
  void SaveToStream(std::ostream& stream) override;
  // The same through a writer that counts the images; frames drawing with
  // the global map are encoded with globalBits bits.
  void SaveTo(TGifStreamWriter& writer, int globalBits);
  // What SaveTo writes before the image data; false for a blank frame,
  // which has no image data to follow.
  bool SaveHeadTo(TGifStreamWriter& writer);

 private:
  std::uint16_t left_ = 0;
  std::uint16_t top_ = 0;
  std::uint16_t width_ = 0;
  std::uint16_t height_ = 0;
  std::uint8_t packed_ = 0;
  using TPixelStore = std::vector<std::uint8_t, TUnsetAllocator<std::uint8_t>>;
  void PlaceFrame(int left, int top, int width, int height, bool zeroed);

  TPixelStore pixels_;
  TGIFLocalColorMap localColors_;
  TGIFExtensionList extensions_;
  bool hasTransparency_ = false;
  TGIFGraphicControlExtension* controlExtension_ = nullptr;

  // The code size and the pixel limit the image data is written with.
  struct TCodeSize {
    int Bits;
    int PixelLimit;
    friend bool operator==(const TCodeSize&, const TCodeSize&) = default;
  };
  TCodeSize CodeSizeFor(int globalBits) const;
};

}  // namespace tovasel
