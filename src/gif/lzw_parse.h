#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <span>
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
  int FirstFree() const { return firstFree_; }
  int ClearCode() const { return firstFree_ - 2; }
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

// One frame's LZW code stream as a list of codes, the Clear codes among
// them, without the End code; its bits are counted once, as it is made.
class TLzwCodes {
 public:
  TLzwCodes() = default;
  TLzwCodes(int minCodeSize, std::vector<std::uint16_t> codes);

  int MinCodeSize() const { return minCodeSize_; }
  const std::vector<std::uint16_t>& Codes() const { return codes_; }
  // Bits of the codes and the End code, at the widths a decoder reads them.
  std::uint64_t Bits() const { return bits_; }
  // Bytes of the image data: code size byte, sub-blocks, terminator.
  std::size_t DataSize() const;

 private:
  friend class TLzwParser;
  void Count();

  int minCodeSize_ = 2;
  std::vector<std::uint16_t> codes_;
  std::uint64_t bits_ = 0;
};

// Writes the image data of Codes: the code size byte, the codes packed into
// sub-blocks with the End code, and the terminator.
void WriteLzwCodes(std::ostream& stream, const TLzwCodes& codes);

// One way of choosing strings by looking ahead: of the longest string and
// up to Shorter shorter ones, the one after which greedy strings cover the
// next Window pixels in the fewest bits.
struct TLzwLookAhead {
  int Shorter = 2;
  std::size_t Window = 16;
};

// Parses a frame's pixels (each below 2^MinCodeSize) into LZW codes.
// Reuses its tables from frame to frame.
class TLzwParser {
 public:
  TLzwParser();
  ~TLzwParser();
  TLzwParser(const TLzwParser&) = delete;
  TLzwParser& operator=(const TLzwParser&) = delete;

  // The longest string the table holds at each step, and a Clear where the
  // table would give code 4095: the plain GIF encoder's stream.
  void Plain(const std::uint8_t* pixels, std::size_t count, int minCodeSize, TLzwCodes& codes);
  // Longest strings, and a Clear wherever a fresh table is measured to cost
  // less than the one in use over the pixels ahead: early while a table
  // does not pay for its wider codes, later than a full table while it
  // keeps paying, or never.
  void PlaceClears(const std::uint8_t* pixels, std::size_t count, int minCodeSize, TLzwCodes& codes);
  // Parses each stretch of Codes (a parse of the same pixels) between its
  // Clear codes again, once for each of Looks: taking a shorter string
  // where the strings after it show that the string it leaves in the table
  // makes them shorter. Each stretch keeps its shortest parse.
  void ChooseStrings(const std::uint8_t* pixels, std::size_t count, std::span<const TLzwLookAhead> looks,
                     TLzwCodes& codes);

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

}  // namespace tovasel
