#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tovasel {

// Reads little-endian fields from a span of untrusted bytes. Every read is
// checked against what is left; a read that does not fit yields 0 (or a
// shorter span), consumes the rest and marks the reader exhausted, so that a
// decoder loop only has to test Exhausted() to stop at the end of its chunk.
class TByteReader {
 public:
  TByteReader() = default;
  explicit TByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t Remaining() const { return bytes_.size() - pos_; }
  std::size_t Position() const { return pos_; }
  // True once a read asked for more than was left.
  bool Exhausted() const { return exhausted_; }

  std::uint8_t U8() {
    if (!Need(1)) return 0;
    return bytes_[pos_++];
  }
  std::int8_t S8() { return static_cast<std::int8_t>(U8()); }
  std::uint16_t U16() {
    if (!Need(2)) return 0;
    const auto v = static_cast<std::uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
  }
  std::uint32_t U32() {
    if (!Need(4)) return 0;
    const std::uint32_t v = std::uint32_t{bytes_[pos_]} | (std::uint32_t{bytes_[pos_ + 1]} << 8) |
                            (std::uint32_t{bytes_[pos_ + 2]} << 16) |
                            (std::uint32_t{bytes_[pos_ + 3]} << 24);
    pos_ += 4;
    return v;
  }

  // Up to n bytes; fewer (and Exhausted()) when the span ends first.
  std::span<const std::uint8_t> Take(std::size_t n) {
    if (n > Remaining()) {
      exhausted_ = true;
      n = Remaining();
    }
    auto out = bytes_.subspan(pos_, n);
    pos_ += n;
    return out;
  }

 private:
  bool Need(std::size_t n) {
    if (n > Remaining()) {
      pos_ = bytes_.size();
      exhausted_ = true;
      return false;
    }
    return true;
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
  bool exhausted_ = false;
};

// Little-endian field of a buffer at an absolute offset; the caller has
// checked that offset + 2 (or + 4) fits.
inline std::uint16_t LoadU16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
inline std::uint32_t LoadU32(std::span<const std::uint8_t> b, std::size_t at) {
  return std::uint32_t{b[at]} | (std::uint32_t{b[at + 1]} << 8) | (std::uint32_t{b[at + 2]} << 16) |
         (std::uint32_t{b[at + 3]} << 24);
}

}  // namespace tovasel
