#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tovasel {

// The header's type word: the original FLI format, whose speed counts 1/70 s
// ticks, and the later FLC format, whose speed counts milliseconds. The
// decoder keeps whatever value the file has and decodes both alike.
inline constexpr std::uint16_t kFliType = 0xAF11;
inline constexpr std::uint16_t kFlcType = 0xAF12;

// The fields of the 128-byte FLIC file header that the decoder uses, each at
// its fixed offset. The magic number at offset 4 is kept but not checked.
struct TFlicHeader {
  static constexpr std::size_t kSize = 128;

  std::uint32_t Size = 0;         // offset 0: bytes of the file
  std::uint16_t Type = 0;         // offset 4: kFliType or kFlcType
  std::uint16_t Frames = 0;       // offset 6: frames, the ring frame not included
  std::uint16_t Width = 0;        // offset 8
  std::uint16_t Height = 0;       // offset 10
  std::uint16_t Depth = 0;        // offset 12
  std::uint16_t Flags = 0;        // offset 14
  std::uint32_t Speed = 0;        // offset 16: delay between frames
  std::uint16_t RatioX = 0;       // offset 38: pixel shape ratio, x
  std::uint16_t RatioY = 0;       // offset 40: pixel shape ratio, y
  std::uint32_t FirstFrame = 0;   // offset 80: offset of frame 1
  std::uint32_t SecondFrame = 0;  // offset 84: offset of frame 2, the wrap target

  // Reads the fields from the first kSize bytes; the caller has checked that
  // there are that many.
  static TFlicHeader Parse(std::span<const std::uint8_t> bytes);

  // The classic FLI layout leaves both frame offsets 0; frame 1 then follows
  // the header directly.
  std::uint32_t FirstFrameOffset() const { return FirstFrame != 0 ? FirstFrame : kSize; }

  // A header the decoder accepts: a picture of at least one and at most
  // maxPixels pixels (TLimits::MaxFramePixels).
  bool PictureSizeAcceptable(std::uint64_t maxPixels) const {
    const std::uint64_t pixels = std::uint64_t{Width} * Height;
    return pixels != 0 && pixels <= maxPixels;
  }
};

}  // namespace tovasel
