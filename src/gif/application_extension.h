#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "gif/gif_extension.h"

namespace tovasel {

// 8-byte application identifier followed by the 3-byte authentication code.
using TAppIdentifier = std::array<std::uint8_t, 11>;

TAppIdentifier MakeAppIdentifier(std::string_view text);

// An application extension (label 0xFF): block size 11, the identifier, then
// the application's own sub-blocks written by WriteAppData.
class TGIFApplicationExtension : public TGIFExtension {
 public:
  static constexpr std::uint8_t Label = 0xFF;

  explicit TGIFApplicationExtension(TGIFSubImage& frame);
  std::uint8_t ExtensionLabel() const override { return Label; }

  const TAppIdentifier& AppIdentifier() const { return identifier_; }
  void SetAppIdentifier(const TAppIdentifier& identifier) { identifier_ = identifier; }

  void SaveToStream(std::ostream& stream) override;
  // The data sub-blocks and the terminator; the base writes only the
  // terminator.
  virtual void WriteAppData(std::ostream& stream);

 private:
  TAppIdentifier identifier_{};
};

// The looping extension ("NETSCAPE2.0"): how often the animation repeats.
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
 public:
  explicit TGIFAppExtNSLoop(TGIFSubImage& frame);

  // 0 repeats without end.
  std::uint16_t LoopCount() const { return loopCount_; }
  void SetLoopCount(std::uint16_t count) { loopCount_ = count; }
  // 0 leaves the preload sub-block out.
  std::uint32_t PreloadSize() const { return preloadSize_; }
  void SetPreloadSize(std::uint32_t size) { preloadSize_ = size; }

  void WriteAppData(std::ostream& stream) override;

 private:
  std::uint16_t loopCount_ = 0;
  std::uint32_t preloadSize_ = 0;
};

// Any other application extension, kept as its raw sub-blocks.
class TGIFUnknownAppExtension : public TGIFApplicationExtension {
 public:
  using TGIFApplicationExtension::TGIFApplicationExtension;

  std::vector<TGIFBlock>& RawBlocks() { return blocks_; }
  const std::vector<TGIFBlock>& RawBlocks() const { return blocks_; }

  // Empty blocks are skipped: a zero length byte would end the data early.
  void WriteAppData(std::ostream& stream) override;

 private:
  std::vector<TGIFBlock> blocks_;
};

}  // namespace tovasel
