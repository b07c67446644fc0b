#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

namespace tovasel {

// The string table of a GIF LZW stream exactly as a decoder builds it, for
// encoders that choose their own strings: after a Clear it holds the single
// pixels; every code after the first adds one string (the string before
// plus the first pixel of the current one), numbered from the first free
// code up to 4095, even when that string is already in the table. The
// code width follows the next number to give, so it is a function of it.
class TLzwDictionary {
 public:
  static constexpr int kFull = 4096;

  TLzwDictionary();

  // Empties the table for pixels of MinCodeSize bits.
  void Clear(int minCodeSize);
  // The code of Prefix's string followed by Pixel, or -1.
  int Find(int prefix, int pixel) const {
    const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | static_cast<std::uint32_t>(pixel);
    std::uint32_t slot = Slot(key);
    for (;;) {
      const std::uint32_t entry = slots_[slot];
      if (entry == kEmpty) return -1;
      if ((entry >> 12) == key) return static_cast<int>(entry & 0xFFF);
      slot = (slot + 1) & kSlotMask;
    }
  }
  // Adds Prefix's string followed by Pixel under the next number, as a
  // decoder does when it reads a code; nothing once the table is full.
  void Add(int prefix, int pixel);
  // Undoes every Add made since Next() was Mark.
  void RollBack(int mark);

  int Next() const { return next_; }
  // The width of the code a decoder reads next.
  int Width() const { return WidthFor(next_); }
  static int WidthFor(int next) { return std::min(12, static_cast<int>(std::bit_width(static_cast<unsigned>(next)))); }

 private:
  static constexpr int kSlotBits = 14;
  static constexpr std::uint32_t kSlotMask = (1u << kSlotBits) - 1;
  // Keys stay below 4095 << 8 | 255 while a string can still be added, so
  // an all-ones slot is never a stored entry.
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
  static constexpr std::uint32_t kNoSlot = 0xFFFFFFFFu;
  static std::uint32_t Slot(std::uint32_t key) { return (key * 0x9E3779B1u) >> (32 - kSlotBits); }

  std::vector<std::uint32_t> slots_;
  // The slot each Add filled (kNoSlot for a string already held), in order,
  // so that a Clear or a roll-back touches only those.
  std::vector<std::uint32_t> added_;
  int firstFree_ = 6;
  int next_ = 6;
};

}  // namespace tovasel
