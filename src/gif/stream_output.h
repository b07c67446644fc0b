#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>

namespace tovasel {

// Every byte of a GIF stream goes out through these; a stream that refuses
// a write raises GIFException "Stream write error". Multi-byte fields of the
// GIF format are little-endian.
void WriteBytes(std::ostream& stream, const void* data, std::size_t count);
void WriteByte(std::ostream& stream, std::uint8_t value);
void WriteWord(std::ostream& stream, std::uint16_t value);
void WriteLong(std::ostream& stream, std::uint32_t value);

}  // namespace tovasel
