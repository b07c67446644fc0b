#include "gif/graphic_control_extension.h"

#include <ostream>

#include "gif/stream_output.h"
#include "gif/sub_image.h"

namespace tovasel {

TGIFGraphicControlExtension::TGIFGraphicControlExtension(TGIFSubImage& frame)
    : TGIFExtension(frame) {
  if (frame.ControlExtension() == nullptr) frame.SetControlExtension(this);
}

TGIFGraphicControlExtension::~TGIFGraphicControlExtension() {
  TGIFSubImage& frame = OwnerFrame();
  if (IsTransparent()) frame.SetHasTransparency(false);
  if (frame.ControlExtension() == this) frame.SetControlExtension(nullptr);
}

void TGIFGraphicControlExtension::SetIsTransparent(bool transparent) {
  packed_ = transparent ? (packed_ | 0x01) : (packed_ & ~0x01);
  OwnerFrame().SetHasTransparency(transparent);
}

void TGIFGraphicControlExtension::SetTransparentIndex(int index) {
  const int count = OwnerFrame().EffectiveColors().EntryCount();
  // An index outside the frame's colours would make a decoder hide a colour
  // that does not exist; an index that does not fit a byte is no better.
  if ((count > 0 && index >= count) || index < 0 || index > 255) {
    ReportWarning(1, "Invalid color index");
    index = 0;
  }
  transparentIndex_ = static_cast<std::uint8_t>(index);
}

void TGIFGraphicControlExtension::SetDisposalMethod(int method) {
  packed_ = static_cast<std::uint8_t>((packed_ & 0xE3) | ((method << 2) & 0x1C));
}

// Graphic Control Extension: block size 4, packed byte, delay, transparent
// colour index, terminator.
void TGIFGraphicControlExtension::SaveToStream(std::ostream& stream) {
  const std::uint8_t block[8] = {ExtensionIntroducer,
                                 Label,
                                 4,
                                 packed_,
                                 static_cast<std::uint8_t>(delay_),
                                 static_cast<std::uint8_t>(delay_ >> 8),
                                 transparentIndex_,
                                 0};
  WriteBytes(stream, block, sizeof block);
}

}  // namespace tovasel
