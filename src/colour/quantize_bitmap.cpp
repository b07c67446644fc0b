#include "colour/quantize_bitmap.h"

#include "colour/color_quantizer.h"
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

TBitmap QuantizeBitmap(TBitmap& bitmap, TReductionScheme scheme, TDitherKind dither, int colorBits,
                       const TColorPalette* palette) {
  TBitmap result;
  if (scheme == rsKeepColors) {
    result = bitmap;
    ConvertTo24Bit(result);
    return result;
  }

  ConvertTo24Bit(bitmap);
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
