#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <vector>

#include "gif/colour_map.h"
#include "gif/gif_encoder.h"

namespace tovasel {

// The standard GIF compressor: variable code width from MinCodeSize + 1 up to
// 12 bits. Codes are assigned up to 4094; the miss that would assign 4095
// emits a Clear code (at width 12) and starts a new table.
class TLZWEncoder final : public TGIFEncoder {
 public:
  // Largest code the table assigns before it starts over.
  static constexpr int LastAssignedCode = 4094;

  TLZWEncoder();
  ~TLZWEncoder() override;

 protected:
  void Encode() override;
};

// The codes TLZWEncoder sends for a frame's pixels at a code size (Clear and
// the data codes, not End), kept to be written later, perhaps for the same
// pixels under new values and at another code size.
struct TRecordedLzw {
  int MinCodeSize = 0;
  int Width = 0;
  int Height = 0;
  bool Interlaced = false;
  std::vector<std::uint16_t> Codes;
  // Clears among the codes: 1 unless the table filled.
  int Clears = 0;
  // The pixel values that occur.
  std::bitset<256> Values;
};

// The codes of pixels (width x height, rows top first) at the code size of
// `bits`, as TGIFEncoder::CompressImage would choose it; no codes for no
// pixels, or for a value too wide for the code size.
TRecordedLzw RecordLzwCodes(const std::uint8_t* pixels, int width, int height, bool interlaced, int bits);

// Writes recorded codes as the image data of the same pixels with every value
// v renamed to renaming[v]: the bytes TLZWEncoder writes for the renamed
// pixels, when CarriesOver holds. LZW only looks at which pixels are equal,
// so a renaming that keeps different values apart gives the same strings;
// at another code size the codes move with the first free code, until a
// table fills.
class TLzwReplay final : public TGIFEncoder {
 public:
  TLzwReplay(const TRecordedLzw& codes, const TColorTranslation& renaming);

  // Whether the codes carry over to `bits`: the renaming keeps the values
  // apart and below pixelLimit and the code size, and at another code size
  // no table fills (the first free code moves, and with it where the table
  // would fill).
  static bool CarriesOver(const TRecordedLzw& codes, int bits, int pixelLimit, const TColorTranslation& renaming);

 protected:
  void Encode() override;

 private:
  const TRecordedLzw& codes_;
  const TColorTranslation& renaming_;
};

}  // namespace tovasel
