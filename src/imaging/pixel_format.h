#pragma once

#include <cstdint>

namespace tovasel {

// The pixel layouts a bitmap can hold. pfDevice is the display's own format,
// which on this program's display is 24 bits per pixel.
enum class TPixelFormat : std::uint8_t {
  pfDevice,
  pf1bit,
  pf4bit,
  pf8bit,
  pf15bit,
  pf16bit,
  pf24bit,
  pf32bit,
  pfCustom,
};

// Bits per stored pixel; pfDevice counts as the display format (24), and
// pfCustom has no fixed layout (0).
int BitsPerPixel(TPixelFormat format);

}  // namespace tovasel
