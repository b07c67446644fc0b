#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gif/gif_extension.h"

namespace tovasel {

// Free text that decoders do not show (label 0xFE).
class TGIFCommentExtension : public TGIFExtension {
 public:
  static constexpr std::uint8_t Label = 0xFE;
  using TGIFExtension::TGIFExtension;
  std::uint8_t ExtensionLabel() const override { return Label; }

  std::vector<std::string>& CommentLines() { return lines_; }
  const std::vector<std::string>& CommentLines() const { return lines_; }

  void SaveToStream(std::ostream& stream) override;

 private:
  std::vector<std::string> lines_;
};

// Text drawn on a character grid over the image (label 0x01).
class TGIFTextExtension : public TGIFExtension {
 public:
  static constexpr std::uint8_t Label = 0x01;
  using TGIFExtension::TGIFExtension;
  std::uint8_t ExtensionLabel() const override { return Label; }

  std::uint16_t GridLeft = 0;
  std::uint16_t GridTop = 0;
  std::uint16_t GridWidth = 0;
  std::uint16_t GridHeight = 0;
  std::uint8_t CharWidth = 0;
  std::uint8_t CharHeight = 0;
  std::uint8_t ForegroundIndex = 0;
  std::uint8_t BackgroundIndex = 0;

  std::vector<std::string>& TextLines() { return lines_; }
  const std::vector<std::string>& TextLines() const { return lines_; }

  void SaveToStream(std::ostream& stream) override;

 private:
  std::vector<std::string> lines_;
};

}  // namespace tovasel
