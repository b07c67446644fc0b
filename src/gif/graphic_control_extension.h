#pragma once

#include <cstdint>

#include "gif/gif_extension.h"

namespace tovasel {

// Delay, disposal and transparency of the frame that follows (label 0xF9).
class TGIFGraphicControlExtension : public TGIFExtension {
 public:
  static constexpr std::uint8_t Label = 0xF9;

  // Becomes the frame's ControlExtension when the frame has none yet.
  explicit TGIFGraphicControlExtension(TGIFSubImage& frame);
  // Clears the frame's transparency when set here and its ControlExtension
  // reference when it points here.
  ~TGIFGraphicControlExtension() override;

  std::uint8_t ExtensionLabel() const override { return Label; }

  // Hundredths of a second before the next frame.
  std::uint16_t DelayTime() const { return delay_; }
  void SetDelayTime(std::uint16_t delay) { delay_ = delay; }

  bool IsTransparent() const { return (packed_ & 0x01) != 0; }
  // Also sets the frame's HasTransparency.
  void SetIsTransparent(bool transparent);

  std::uint8_t TransparentIndex() const { return transparentIndex_; }
  // An index past a non-empty effective colour map warns "Invalid color
  // index" and stores 0.
  void SetTransparentIndex(int index);

  // 0 not given, 1 keep, 2 restore background, 3 restore previous; 4-7 are
  // kept as given.
  int DisposalMethod() const { return (packed_ >> 2) & 0x07; }
  void SetDisposalMethod(int method);
  bool WaitForInput() const { return (packed_ & 0x02) != 0; }
  std::uint8_t Packed() const { return packed_; }

  void SaveToStream(std::ostream& stream) override;

 private:
  std::uint8_t packed_ = 0;
  std::uint16_t delay_ = 0;
  std::uint8_t transparentIndex_ = 0;
};

}  // namespace tovasel
