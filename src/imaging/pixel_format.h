#pragma once

#include <cstdint>

namespace tovasel {

// The pixel layouts a bitmap can hold. pfDevice is the display's own format,
// which on this program's display is 24 bits per pixel. pfCustom stands for a
// layout the program does not know by name; it is stored like 24 bits.
//
// Row layouts (every row padded to 4 bytes):
//   pf1bit   8 indices per byte, most significant bit first
//   pf4bit   2 indices per byte, high nibble first
//   pf8bit   1 index per byte
//   pf15bit  16-bit little-endian words 0RRRRRGGGGGBBBBB
//   pf16bit  16-bit little-endian words RRRRRGGGGGGBBBBB
//   pf24bit, pfDevice, pfCustom   blue, green, red bytes
//   pf32bit  blue, green, red, unused bytes
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

// True for the formats whose pixels are colour-table indices (1, 4, 8 bits).
bool IsIndexed(TPixelFormat format);

// True for the formats whose rows are stored as blue-green-red triples.
bool IsTrueColor24(TPixelFormat format);

}  // namespace tovasel
