#pragma once

#include <array>
#include <cstdint>
#include <memory>

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

}  // namespace tovasel
