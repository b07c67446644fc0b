#include "gif/stream_output.h"

#include <ostream>

#include "gif/gif_exception.h"

namespace tovasel {

void WriteBytes(std::ostream& stream, const void* data, std::size_t count) {
  stream.write(static_cast<const char*>(data), static_cast<std::streamsize>(count));
  if (!stream) throw GIFException("Stream write error");
}

void WriteByte(std::ostream& stream, std::uint8_t value) { WriteBytes(stream, &value, 1); }

void WriteWord(std::ostream& stream, std::uint16_t value) {
  const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value),
                                 static_cast<std::uint8_t>(value >> 8)};
  WriteBytes(stream, bytes, sizeof bytes);
}

void WriteLong(std::ostream& stream, std::uint32_t value) {
  const std::uint8_t bytes[4] = {
      static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
      static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  WriteBytes(stream, bytes, sizeof bytes);
}

}  // namespace tovasel
