#pragma once

#include <cstdint>
#include <span>

#include "flic/flic_surface.h"
#include "flic/palette.h"

namespace tovasel {

// FLIC chunk types.
enum TFlicChunkType : std::uint16_t {
  ctColor256 = 4,
  ctDeltaFlc = 7,
  ctColor64 = 11,
  ctDeltaFli = 12,
  ctBlack = 13,
  ctByteRun = 15,
  ctFliCopy = 16,
  ctPostageStamp = 18,
};

// One decoder per chunk type. Each reads its payload strictly in order and
// never past its end, and writes only inside the surface: runs and copies are
// clipped at the row's end, rows outside the picture are dropped. Each
// returns false when the payload ended before its own counts were satisfied
// (a damaged chunk); what was decoded up to that point stays.

// COLOR_256: packets of (skip, count, count x RGB), count 0 meaning 256.
// Colours aimed past entry 255 are dropped.
bool DecodeColor256(std::span<const std::uint8_t> payload, TPalette& palette);
// COLOR_64: as COLOR_256 with 6-bit components, scaled by 4 (63 -> 252).
bool DecodeColor64(std::span<const std::uint8_t> payload, TPalette& palette);
// BYTE_RUN: the whole picture, run-length coded row by row.
bool DecodeByteRun(std::span<const std::uint8_t> payload, TFlicSurface& surface);
// FLI_COPY: the whole picture uncompressed, top row first, no padding.
bool DecodeCopy(std::span<const std::uint8_t> payload, TFlicSurface& surface);
// DELTA_FLI: byte-oriented line delta from a first line on.
bool DecodeDeltaFli(std::span<const std::uint8_t> payload, TFlicSurface& surface);
// DELTA_FLC: word-oriented line delta with line skips and a last-byte opcode.
bool DecodeDeltaFlc(std::span<const std::uint8_t> payload, TFlicSurface& surface);

}  // namespace tovasel
