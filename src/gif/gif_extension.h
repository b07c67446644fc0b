#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "gif/gif_item.h"

namespace tovasel {

// Introducer byte of every extension block.
inline constexpr std::uint8_t ExtensionIntroducer = 0x21;

// A GIF89a extension block belonging to one frame. Creating one does not put
// it into the frame's list: the creator appends it to FrameExtensions().
class TGIFExtension : public TGIFItem {
 public:
  explicit TGIFExtension(TGIFSubImage& frame);

  TGIFSubImage& OwnerFrame() const { return *ownerFrame_; }
  // Every extension kind needs "89a".
  int RequiredVersion() const override { return 2; }
  // The label byte after the introducer 0x21.
  virtual std::uint8_t ExtensionLabel() const = 0;

 private:
  TGIFSubImage* ownerFrame_;
};

// One raw data sub-block: a length byte (0-255) and that many bytes.
class TGIFBlock {
 public:
  explicit TGIFBlock(std::uint8_t length = 0) : bytes_(length, 0) {}
  std::uint8_t BlockLength() const { return static_cast<std::uint8_t>(bytes_.size()); }
  std::vector<std::uint8_t>& BlockBytes() { return bytes_; }
  const std::vector<std::uint8_t>& BlockBytes() const { return bytes_; }
  // Resizes to Length bytes, new bytes zero.
  void SetBlockLength(std::uint8_t length) { bytes_.resize(length, 0); }

 private:
  std::vector<std::uint8_t> bytes_;
};

// Writes lines of text as data sub-blocks of at most 255 bytes each (an empty
// line writes nothing), without the terminator.
void WriteTextSubBlocks(std::ostream& stream, const std::vector<std::string>& lines);

}  // namespace tovasel
