#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <vector>

#include "gif/colour_map.h"
#include "gif/gif_encoder.h"

namespace tovasel {

// The LZW string table: (prefix code, pixel) keys to codes. Open addressing
// over a power-of-two table four times larger than the 4094 strings it ever
// holds keeps the probe sequences short; any table gives the same codes.
class TLZWStringTable {
 public:
  static constexpr int SlotBits = 14;
  static constexpr std::uint32_t SlotCount = 1u << SlotBits;

  TLZWStringTable() { Clear(); }
  void Clear() { slots_.fill(EmptySlot); }

  // The code stored for Key, or stores NewCode for it (when NewCode >= 0)
  // and returns -1.
  int FindOrInsert(std::uint32_t key, int newCode) {
    std::uint32_t slot = (key * 0x9E3779B1u) >> (32 - SlotBits);
    for (;;) {
      const std::uint32_t entry = slots_[slot];
      if (entry == EmptySlot) {
        if (newCode >= 0) slots_[slot] = (key << 12) | static_cast<std::uint32_t>(newCode);
        return -1;
      }
      if ((entry >> 12) == key) return static_cast<int>(entry & 0xFFF);
      slot = (slot + 1) & (SlotCount - 1);
    }
  }

 private:
  // Keys stay below 4095 << 8, so an all-ones slot is never a stored entry.
  static constexpr std::uint32_t EmptySlot = 0xFFFFFFFFu;
  std::array<std::uint32_t, SlotCount> slots_;
};

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
struct TLzwCodes {
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
TLzwCodes RecordLzwCodes(const std::uint8_t* pixels, int width, int height, bool interlaced, int bits);

// Writes recorded codes as the image data of the same pixels with every value
// v renamed to renaming[v]: the bytes TLZWEncoder writes for the renamed
// pixels, when CarriesOver holds. LZW only looks at which pixels are equal,
// so a renaming that keeps different values apart gives the same strings;
// at another code size the codes move with the first free code, until a
// table fills.
class TLzwReplay final : public TGIFEncoder {
 public:
  TLzwReplay(const TLzwCodes& codes, const TColorTranslation& renaming);

  // Whether the codes carry over to `bits`: the renaming keeps the values
  // apart and below pixelLimit and the code size, and at another code size
  // no table fills (the first free code moves, and with it where the table
  // would fill).
  static bool CarriesOver(const TLzwCodes& codes, int bits, int pixelLimit, const TColorTranslation& renaming);

 protected:
  void Encode() override;

 private:
  const TLzwCodes& codes_;
  const TColorTranslation& renaming_;
};

}  // namespace tovasel
