#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>

namespace tovasel {

// Packs image data into the GIF format's data sub-blocks: a length byte and
// 1 to 255 data bytes, every block but the last full. The stream sees one
// write per sub-block.
class TGIFWriter {
 public:
  explicit TGIFWriter(std::ostream& stream) : stream_(stream) {}
  TGIFWriter(const TGIFWriter&) = delete;
  TGIFWriter& operator=(const TGIFWriter&) = delete;

  void PutByte(std::uint8_t value) {
    block_[fill_++] = value;
    if (fill_ == block_.size()) FlushBlock();
  }
  void PutBytes(const std::uint8_t* data, std::size_t count);
  // Writes the pending bytes as one sub-block; nothing when none are pending.
  void FlushBlock();
  bool HasPending() const { return fill_ > 1; }

 private:
  std::ostream& stream_;
  // Byte 0 is reserved for the length, so one write sends the whole block.
  std::array<std::uint8_t, 256> block_{};
  std::size_t fill_ = 1;
};

}  // namespace tovasel
