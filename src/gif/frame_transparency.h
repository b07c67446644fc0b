#pragma once

#include "gif/graphic_control_extension.h"
#include "gif/sub_image.h"

namespace tovasel {

// The frame's control extension when it marks a transparent colour, else
// null. Frames are transparent through their first control extension only.
inline TGIFGraphicControlExtension* TransparentControl(const TGIFSubImage& frame) {
  TGIFGraphicControlExtension* control = frame.ControlExtension();
  return (frame.HasTransparency() && control != nullptr && control->IsTransparent()) ? control
                                                                                      : nullptr;
}

}  // namespace tovasel
