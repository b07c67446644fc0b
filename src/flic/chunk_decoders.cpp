#include "flic/chunk_decoders.h"

#include <cstdint>

#include "flic/byte_reader.h"
#include "flic/row_writer.h"

namespace tovasel {
namespace {

// Both colour chunks share their layout; only the component scale differs.
// The entry index runs on over all packets of the chunk.
bool DecodeColorPackets(std::span<const std::uint8_t> payload, TPalette& palette, int shift) {
  TByteReader in(payload);
  const std::uint16_t packets = in.U16();
  std::uint32_t index = 0;
  for (std::uint32_t p = 0; p < packets && !in.Exhausted(); ++p) {
    index += in.U8();
    std::uint32_t count = in.U8();
    if (count == 0) count = 256;
    const auto rgb = in.Take(std::size_t{count} * 3);
    for (std::size_t i = 0; i + 3 <= rgb.size(); i += 3, ++index) {
      if (index > 255) continue;
      TPaletteEntry& e = palette.Entry(index);
      e.Red = static_cast<std::uint8_t>(rgb[i] << shift);
      e.Green = static_cast<std::uint8_t>(rgb[i + 1] << shift);
      e.Blue = static_cast<std::uint8_t>(rgb[i + 2] << shift);
      e.Flags = 0;
    }
  }
  return !in.Exhausted();
}

}  // namespace

bool DecodeColor256(std::span<const std::uint8_t> payload, TPalette& palette) {
  return DecodeColorPackets(payload, palette, 0);
}

bool DecodeColor64(std::span<const std::uint8_t> payload, TPalette& palette) {
  return DecodeColorPackets(payload, palette, 2);
}

bool DecodeByteRun(std::span<const std::uint8_t> payload, TFlicSurface& surface) {
  TByteReader in(payload);
  const std::int64_t width = surface.Width();
  for (int y = 0; y < surface.Height(); ++y) {
    TRowWriter row(surface, y);
    in.U8();  // the row's packet count: unreliable in real files, the row ends by width
    std::int64_t x = 0;
    while (x < width && !in.Exhausted()) {
      const int n = in.S8();
      if (in.Exhausted()) break;
      if (n < 0) {
        const auto bytes = in.Take(static_cast<std::size_t>(-n));
        row.Copy(x, bytes);
        x += -n;
      } else if (n > 0) {
        const std::uint8_t v = in.U8();
        if (in.Exhausted()) break;
        row.Fill(x, n, v);
        x += n;
      }
    }
    if (in.Exhausted()) return false;
  }
  return true;
}

bool DecodeCopy(std::span<const std::uint8_t> payload, TFlicSurface& surface) {
  TByteReader in(payload);
  for (int y = 0; y < surface.Height(); ++y) {
    TRowWriter row(surface, y);
    row.Copy(0, in.Take(static_cast<std::size_t>(surface.Width())));
    if (in.Exhausted()) return false;
  }
  return true;
}

bool DecodeDeltaFli(std::span<const std::uint8_t> payload, TFlicSurface& surface) {
  TByteReader in(payload);
  std::int64_t y = in.U16();
  const std::uint16_t lines = in.U16();
  for (std::uint32_t line = 0; line < lines && !in.Exhausted(); ++line, ++y) {
    TRowWriter row(surface, y);
    const std::uint8_t packets = in.U8();
    std::int64_t x = 0;
    for (std::uint32_t p = 0; p < packets && !in.Exhausted(); ++p) {
      x += in.U8();
      const int n = in.S8();
      if (n > 0) {
        row.Copy(x, in.Take(static_cast<std::size_t>(n)));
        x += n;
      } else if (n < 0) {
        const std::uint8_t v = in.U8();
        if (in.Exhausted()) break;
        row.Fill(x, -n, v);
        x += -n;
      }
    }
  }
  return !in.Exhausted();
}

bool DecodeDeltaFlc(std::span<const std::uint8_t> payload, TFlicSurface& surface) {
  TByteReader in(payload);
  const std::uint16_t lines = in.U16();
  std::int64_t y = 0;
  // The last-byte value carries over between line records; only its flag is
  // reset per line.
  std::uint8_t lastByte = 0;
  for (std::uint32_t line = 0; line < lines && !in.Exhausted(); ++line, ++y) {
    bool hasLastByte = false;
    std::uint16_t packets = 0;
    std::uint16_t w = 0;
    // Opcode words go on until a packet count with bits 15 and 13 clear; a
    // count with bit 13 set is taken and reading goes on, as the format's
    // reference decoder does.
    do {
      w = in.U16();
      if (in.Exhausted()) return false;
      if (w < 0x8000) {
        packets = w;
      } else if (w < 0xA000) {
        lastByte = static_cast<std::uint8_t>(w & 0xFF);
        hasLastByte = true;
      } else {
        y += -static_cast<std::int64_t>(static_cast<std::int16_t>(w));
      }
    } while ((w & 0xA000) != 0);

    TRowWriter row(surface, y);
    std::int64_t x = 0;
    for (std::uint32_t p = 0; p < packets && !in.Exhausted(); ++p) {
      x += in.U8();
      const int n = in.S8();
      if (n > 0) {
        row.Copy(x, in.Take(static_cast<std::size_t>(n) * 2));
        x += 2 * n;
      } else if (n < 0) {
        const auto word = in.Take(2);
        if (word.size() < 2) break;
        row.FillPair(x, -n, word[0], word[1]);
        x += 2 * std::int64_t{-n};
      }
    }
    if (in.Exhausted()) return false;
    if (hasLastByte) row.Put(x, lastByte);
  }
  return !in.Exhausted();
}

}  // namespace tovasel
