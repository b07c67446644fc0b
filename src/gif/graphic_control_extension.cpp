#include "gif/graphic_control_extension.h"

#include <ostream>

#include "gif/gif_stream_writer.h"
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

void TGIFGraphicControlExtension::SaveToStream(std::ostream& stream) {
  WriteGraphicControlBlock(stream, {packed_, delay_, transparentIndex_});
}

}  // namespace tovasel
