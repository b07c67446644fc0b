#include "colour/quantize_bitmap.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

#include "colour/colour_quantizer.h"
#include "colour/system_palettes.h"
#include "imaging/dib.h"
#include "imaging/pixel_conversion.h"

namespace tovasel {

namespace {

// The octree always descends through all eight bits of each channel.
constexpr int kOctreeLeafDepth = 8;

bool PaletteFor(TReductionScheme scheme, int colorBits, const TColorPalette* given,
                const TDIBReader& reader, TColorPalette& out) {
  switch (scheme) {
    case rsSystem20: out = SystemColors20(); return true;
    case rsHalftone256: out = Halftone256(); return true;
    case rsGray4: out = Gray4Palette(); return true;
    case rsBlackWhite: out = BlackWhitePalette(); return true;
    case rsGray256: out = Gray256Palette(); return true;
    case rsWebCube216: out = WebCube216Palette(); return true;
    case rsOctree: {
      // Palettes of more than 256 or fewer than 2 entries cannot be built.
      const int bits = colorBits < 1 ? 1 : (colorBits > 8 ? 8 : colorBits);
      out = BuildOctreePalette(reader, 1 << bits, kOctreeLeafDepth, false);
      return true;
    }
    case rsOctreeSystem:
      out = BuildOctreePalette(reader, 236, kOctreeLeafDepth, true);
      return true;
    case rsGivenPalette:
      if (given != nullptr) out = *given;
      if (out.size() > 256) out.resize(256);
      return true;
    case rsKeepColors:
      break;
  }
  return false;
}

// The 216-colour cube's entry 36r + 6g + b, with each level chosen as the
// cube's matcher chooses it: (value + 3) / 51.
class TCubeLevels {
 public:
  TCubeLevels() {
    for (int v = 0; v < 256; ++v) {
      const int level = (v + 3) / 51;
      red_[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(36 * level);
      green_[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(6 * level);
      blue_[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(level);
    }
  }
  std::uint8_t Index(std::uint8_t red, std::uint8_t green, std::uint8_t blue) const {
    return static_cast<std::uint8_t>(red_[red] + green_[green] + blue_[blue]);
  }

  // Maps one row of blue, green, red triples. Animation frames come in runs
  // of one colour, so a pixel equal to the one before reuses its entry: one
  // load and one compare instead of three lookups.
  void MapRow(const std::uint8_t* in, std::uint8_t* out, int width) const {
    if (width <= 0) return;
    std::uint32_t previous = 0xFFFFFFFFu;  // never a 24-bit colour
    std::uint8_t index = 0;
    // Every pixel but the last is read with the next pixel's first byte, so
    // the read never passes the end of the row.
    for (int x = 0; x + 1 < width; ++x, in += 3) {
      std::uint32_t colour;
      std::memcpy(&colour, in, sizeof colour);
      if constexpr (std::endian::native == std::endian::big) colour >>= 8;
      colour &= 0xFFFFFFu;
      if (colour != previous) {
        previous = colour;
        index = Index(in[2], in[1], in[0]);
      }
      out[x] = index;
    }
    out[width - 1] = Index(in[2], in[1], in[0]);
  }

 private:
  std::array<std::uint8_t, 256> red_{};
  std::array<std::uint8_t, 256> green_{};
  std::array<std::uint8_t, 256> blue_{};
};

}  // namespace

std::unique_ptr<TColorLookup> CreateColorLookup(TReductionScheme scheme, const TColorPalette& palette) {
  switch (scheme) {
    case rsBlackWhite: return std::make_unique<TMonochromeLookup>();
    case rsGray256: return std::make_unique<TGrayScaleLookup>();
    case rsWebCube216: return std::make_unique<TNetscapeColorLookup>();
    case rsSystem20:
    case rsHalftone256:
    case rsGray4:
    case rsOctree:
    case rsOctreeSystem:
    case rsGivenPalette: return std::make_unique<TFastColorLookup>(palette);
    case rsKeepColors: break;
  }
  return nullptr;
}

std::unique_ptr<TDitherEngine> CreateDitherEngine(TDitherKind dither, int rowWidth, TColorLookup& matcher) {
  switch (dither) {
    case dkNone: return std::make_unique<TDitherEngine>(rowWidth, matcher);
    case dkFloydSteinberg: return std::make_unique<TFloydSteinbergDitherer>(rowWidth, matcher);
    case dkStucki: return std::make_unique<TStuckiDitherer>(rowWidth, matcher);
    case dkSierra: return std::make_unique<TSierraDitherer>(rowWidth, matcher);
    case dkJarvisJudiceNinke: return std::make_unique<TJaJuNiDitherer>(rowWidth, matcher);
    case dkStevensonArce: return std::make_unique<TSteveArcheDitherer>(rowWidth, matcher);
    case dkBurkes: return std::make_unique<TBurkesDitherer>(rowWidth, matcher);
  }
  return nullptr;
}

bool ReducesColoursAlone(TReductionScheme scheme, TDitherKind dither, const std::array<TRGBQuad, 256>& Colours,
                         std::array<std::uint8_t, 256>& Entries, std::vector<TRGBQuad>& Table) {
  if (scheme != rsWebCube216 || dither != dkNone) return false;
  const TCubeLevels levels;
  for (std::size_t i = 0; i < Colours.size(); ++i) {
    Entries[i] = levels.Index(Colours[i].rgbRed, Colours[i].rgbGreen, Colours[i].rgbBlue);
  }
  // The table a pf8bit writer gives its image: the palette, then black.
  const TColorPalette cube = WebCube216Palette();
  Table.assign(256, TRGBQuad{});
  for (std::size_t i = 0; i < cube.size() && i < Table.size(); ++i) {
    Table[i] = TRGBQuad{cube[i].Blue, cube[i].Green, cube[i].Red, 0};
  }
  return true;
}

TBitmap QuantizeBitmap(TBitmap& bitmap, TReductionScheme scheme, TDitherKind dither, int colorBits,
                       const TColorPalette* palette) {
  if (scheme != rsKeepColors) ConvertTo24Bit(bitmap);
  return QuantizeBitmap(std::as_const(bitmap), scheme, dither, colorBits, palette);
}

TBitmap QuantizeBitmap(const TBitmap& bitmap, TReductionScheme scheme, TDitherKind dither,
                       int colorBits, const TColorPalette* palette) {
  TBitmap result;
  if (scheme == rsKeepColors) {
    result = bitmap;
    ConvertTo24Bit(result);
    return result;
  }

  TDIBReader reader(bitmap, TPixelFormat::pf24bit);

  TColorPalette colours;
  if (!PaletteFor(scheme, colorBits, palette, reader, colours)) return result;
  std::unique_ptr<TColorLookup> matcher = CreateColorLookup(scheme, colours);
  if (!matcher || matcher->PaletteSize == 0) return result;
  const int width = bitmap.Width();
  const int height = bitmap.Height();
  std::unique_ptr<TDitherEngine> engine = CreateDitherEngine(dither, width, *matcher);
  if (!engine) return result;

  TDIBWriter writer(result, colours, width, height, TPixelFormat::pf8bit);
  if (scheme == rsWebCube216 && dither == dkNone) {
    // Without diffusion each pixel's cube entry depends on its colour alone,
    // so the scan order does not matter and the per-channel levels come
    // from one table instead of a matcher call per pixel.
    const TCubeLevels levels;
    for (int y = 0; y < height; ++y) levels.MapRow(reader.ScanLine(y), writer.ScanLine(y), width);
    writer.Finish();
    return result;
  }
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* in = reader.ScanLine(y);
    std::uint8_t* out = writer.ScanLine(y);
    // The engine decides where the row starts and in which direction it
    // runs; the loop follows its CurrentColumn.
    std::uint8_t r, g, b;
    while (engine->CurrentColumn >= 0 && engine->CurrentColumn < width) {
      const int x = engine->CurrentColumn;
      const std::uint8_t* p = in + 3 * static_cast<std::size_t>(x);
      out[x] = static_cast<std::uint8_t>(engine->MapPixel(p[2], p[1], p[0], r, g, b));
    }
    engine->StartNextRow();
  }
  writer.Finish();
  return result;
}

}  // namespace tovasel
