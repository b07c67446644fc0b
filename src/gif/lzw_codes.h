#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <vector>

namespace tovasel {

// One frame's LZW code stream as a list of codes, the Clear codes among
// them, without the End code; its bits are counted once, as it is made.
class TLzwCodes {
 public:
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

}  // namespace tovasel
