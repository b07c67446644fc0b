#include "imaging/pixel_conversion.h"

#include <algorithm>
#include <cstring>

namespace tovasel {

TIndexedRowExpander::TIndexedRowExpander(const std::array<TRGBQuad, 256>& colors) {
  for (std::size_t i = 0; i < colors.size(); ++i) {
    // Bytes in memory order, whatever the machine's byte order.
    const std::uint8_t bytes[4] = {colors[i].rgbBlue, colors[i].rgbGreen, colors[i].rgbRed, 0};
    std::memcpy(&words_[i], bytes, sizeof bytes);
  }
}

void TIndexedRowExpander::Expand(const std::uint8_t* indices, int width, std::uint8_t* out) const {
  if (width <= 0) return;
  const int last = width - 1;
  for (int x = 0; x < last; ++x, out += 3) std::memcpy(out, &words_[indices[x]], 4);
  std::memcpy(out, &words_[indices[last]], 3);
}

namespace {

// Widens a 5- or 6-bit channel to 8 bits so that full intensity stays 255.
inline std::uint8_t Expand5(unsigned v) { return static_cast<std::uint8_t>((v << 3) | (v >> 2)); }
inline std::uint8_t Expand6(unsigned v) { return static_cast<std::uint8_t>((v << 2) | (v >> 4)); }

// Unpacks a row of 1- or 4-bit indices to one byte per pixel.
void UnpackIndices(const std::uint8_t* row, TPixelFormat format, int width, std::uint8_t* out) {
  if (format == TPixelFormat::pf1bit) {
    for (int x = 0; x < width; ++x) out[x] = (row[x >> 3] >> (7 - (x & 7))) & 1u;
  } else {
    for (int x = 0; x < width; ++x) {
      const std::uint8_t b = row[x >> 1];
      out[x] = (x & 1) ? (b & 0x0Fu) : (b >> 4);
    }
  }
}

// Expands a row of direct colours (every layout but the indexed ones).
void ConvertDirectRowTo24(const std::uint8_t* row, TPixelFormat format, int width, std::uint8_t* out) {
  switch (format) {
    case TPixelFormat::pf1bit:
    case TPixelFormat::pf4bit:
    case TPixelFormat::pf8bit:
      break;
    case TPixelFormat::pf15bit:
      for (int x = 0; x < width; ++x, out += 3, row += 2) {
        const unsigned w = row[0] | (unsigned{row[1]} << 8);
        out[0] = Expand5(w & 0x1Fu);
        out[1] = Expand5((w >> 5) & 0x1Fu);
        out[2] = Expand5((w >> 10) & 0x1Fu);
      }
      break;
    case TPixelFormat::pf16bit:
      for (int x = 0; x < width; ++x, out += 3, row += 2) {
        const unsigned w = row[0] | (unsigned{row[1]} << 8);
        out[0] = Expand5(w & 0x1Fu);
        out[1] = Expand6((w >> 5) & 0x3Fu);
        out[2] = Expand5((w >> 11) & 0x1Fu);
      }
      break;
    case TPixelFormat::pf32bit:
      for (int x = 0; x < width; ++x, out += 3, row += 4) {
        out[0] = row[0];
        out[1] = row[1];
        out[2] = row[2];
      }
      break;
    case TPixelFormat::pfDevice:
    case TPixelFormat::pf24bit:
    case TPixelFormat::pfCustom:
      std::memcpy(out, row, static_cast<std::size_t>(width) * 3);
      break;
  }
}

}  // namespace

void ConvertTo24Bit(TBitmap& bitmap) {
  const TPixelFormat from = bitmap.PixelFormat();
  if (from == TPixelFormat::pf24bit) return;
  const int width = bitmap.Width();
  TBitmap converted(width, bitmap.Height(), TPixelFormat::pf24bit);
  if (IsIndexed(from)) {
    // Indices past the end of the table read as black, so a short table
    // cannot make the conversion read past it.
    std::array<TRGBQuad, 256> colors{};
    const auto& table = bitmap.ColorTable();
    std::copy_n(table.begin(), std::min<std::size_t>(table.size(), colors.size()), colors.begin());
    const TIndexedRowExpander expander(colors);
    std::vector<std::uint8_t> indices(from == TPixelFormat::pf8bit ? 0 : static_cast<std::size_t>(width));
    for (int y = 0; y < bitmap.Height(); ++y) {
      const std::uint8_t* row = bitmap.ScanLine(y);
      if (!indices.empty()) {
        UnpackIndices(row, from, width, indices.data());
        row = indices.data();
      }
      expander.Expand(row, width, converted.ScanLine(y));
    }
  } else {
    for (int y = 0; y < bitmap.Height(); ++y) {
      ConvertDirectRowTo24(bitmap.ScanLine(y), from, width, converted.ScanLine(y));
    }
  }
  converted.SetTransparent(bitmap.Transparent());
  converted.Mask() = std::move(bitmap.Mask());
  bitmap = std::move(converted);
}

}  // namespace tovasel
