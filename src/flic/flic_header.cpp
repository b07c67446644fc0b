#include "flic/flic_header.h"

#include "flic/byte_reader.h"

namespace tovasel {

TFlicHeader TFlicHeader::Parse(std::span<const std::uint8_t> b) {
  TFlicHeader h;
  h.Size = LoadU32(b, 0);
  h.Type = LoadU16(b, 4);
  h.Frames = LoadU16(b, 6);
  h.Width = LoadU16(b, 8);
  h.Height = LoadU16(b, 10);
  h.Depth = LoadU16(b, 12);
  h.Flags = LoadU16(b, 14);
  h.Speed = LoadU32(b, 16);
  h.RatioX = LoadU16(b, 38);
  h.RatioY = LoadU16(b, 40);
  h.FirstFrame = LoadU32(b, 80);
  h.SecondFrame = LoadU32(b, 84);
  return h;
}

}  // namespace tovasel
