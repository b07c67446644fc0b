#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <iterator>
#include <tuple>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "colour/colour_lookup.h"
#include "colour/quantize_bitmap.h"
#include "colour/system_palettes.h"
#include "colour_test_support.h"

namespace tovasel {
namespace {

using testing::IndexedPixelOf;
using testing::MakeBitmap;
using testing::PixelOf;
using testing::Rgb;

struct SchemeRow {
  std::string name;
  TReductionScheme scheme;
  int colorBits;
  std::size_t paletteSize;
};

class EveryScheme : public ::testing::TestWithParam<std::tuple<SchemeRow, TDitherKind>> {};

TEST_P(EveryScheme, KeepsEveryIndexInsideThePalette) {
  const auto& [row, dither] = GetParam();
  TBitmap source = testing::RandomBitmap(37, 23, 4000, 7);
  const TColorPalette given = {{1, 2, 3}, {200, 100, 50}, {0, 255, 0}};
  const TBitmap result = QuantizeBitmap(source, row.scheme, dither, row.colorBits, &given);
  ASSERT_EQ(result.PixelFormat(), TPixelFormat::pf8bit);
  ASSERT_EQ(result.Width(), 37);
  ASSERT_EQ(result.Height(), 23);
  ASSERT_EQ(result.ColorTable().size(), 256u);
  for (int y = 0; y < 23; ++y) {
    for (int x = 0; x < 37; ++x) ASSERT_LT(result.ScanLine(y)[x], row.paletteSize) << x << "," << y;
  }
  // The colour table past the palette is black.
  for (std::size_t i = row.paletteSize; i < 256; ++i) ASSERT_EQ(result.ColorTable()[i], TRGBQuad{}) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Schemes, EveryScheme,
    ::testing::Combine(::testing::Values(SchemeRow{"System20", rsSystem20, 8, 20},
                                         SchemeRow{"Halftone", rsHalftone256, 8, 256},
                                         SchemeRow{"Gray4", rsGray4, 8, 4},
                                         SchemeRow{"BlackWhite", rsBlackWhite, 8, 2},
                                         SchemeRow{"Gray256", rsGray256, 8, 256},
                                         SchemeRow{"WebCube", rsWebCube216, 8, 216},
                                         SchemeRow{"Octree3Bits", rsOctree, 3, 8},
                                         SchemeRow{"OctreeSystem", rsOctreeSystem, 8, 256},
                                         SchemeRow{"GivenPalette", rsGivenPalette, 8, 3}),
                       ::testing::Values(dkNone, dkFloydSteinberg, dkStucki, dkSierra, dkJarvisJudiceNinke,
                                         dkStevensonArce, dkBurkes)),
    [](const auto& info) {
      return std::get<0>(info.param).name + "_Dither" + std::to_string(int{std::get<1>(info.param)});
    });

TEST(QuantizeBitmap, ConvertsTheSourceButKeepColorsOnlyCopies) {
  TBitmap source(2, 2, TPixelFormat::pf32bit);
  source.ScanLine(1)[4] = 77;  // blue of pixel (1, 1)
  const TBitmap kept = QuantizeBitmap(source, rsKeepColors, dkNone, 8);
  EXPECT_EQ(source.PixelFormat(), TPixelFormat::pf32bit);
  ASSERT_EQ(kept.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(PixelOf(kept, 1, 1), (Rgb{0, 0, 77}));
  QuantizeBitmap(source, rsWebCube216, dkNone, 8);
  EXPECT_EQ(source.PixelFormat(), TPixelFormat::pf24bit);
}

struct EmptyRow {
  std::string name;
  int scheme;
  int dither;
  bool emptyPalette;
};

class EmptyResult : public ::testing::TestWithParam<EmptyRow> {};

TEST_P(EmptyResult, ForUnknownSettingsOrNoPalette) {
  const EmptyRow& row = GetParam();
  TBitmap source(4, 4);
  const TColorPalette none;
  const TBitmap result = QuantizeBitmap(source, static_cast<TReductionScheme>(row.scheme),
                                        static_cast<TDitherKind>(row.dither), 8, row.emptyPalette ? &none : nullptr);
  EXPECT_TRUE(result.Empty());
}

INSTANTIATE_TEST_SUITE_P(Settings, EmptyResult,
                         ::testing::Values(EmptyRow{"SchemeTen", 10, 0, false}, EmptyRow{"DitherSeven", 6, 7, false},
                                           EmptyRow{"GivenPaletteEmpty", 9, 0, true},
                                           EmptyRow{"GivenPaletteAbsent", 9, 0, false}),
                         [](const auto& info) { return info.param.name; });

TEST(QuantizeBitmap, RowsAreMatchedInSerpentineOrder) {
  // (64,64,64) and (71,71,71) share a colour cell; under rsGray4 the first
  // of them to be matched decides the cell: 64 alone would pick grey 0,
  // 71 grey 128. Row 1 runs right to left, so (71,71,71) at its right end is
  // met first and both get index 1. A plain left-to-right scan would give 0.
  const TBitmap source = MakeBitmap(2, 2, [](int x, int y) {
    if (y == 0) return Rgb{255, 255, 255};
    return x == 0 ? Rgb{64, 64, 64} : Rgb{71, 71, 71};
  });
  TBitmap copy = source;
  const TBitmap result = QuantizeBitmap(copy, rsGray4, dkNone, 8);
  EXPECT_EQ(result.ScanLine(1)[0], 1);
  EXPECT_EQ(result.ScanLine(1)[1], 1);
}

TEST(QuantizeBitmap, OctreeReturnsAFewColouredImageExactly) {
  // The fast matcher answers per 15-bit cell, so the colours are chosen in
  // distinct cells: then each finds itself.
  std::mt19937 rng(11);
  std::vector<Rgb> colours;
  std::set<int> cells;
  while (colours.size() < 256) {
    const Rgb c{static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng())};
    if (cells.insert((c.r >> 3) | ((c.g >> 3) << 5) | ((c.b >> 3) << 10)).second) colours.push_back(c);
  }
  const TBitmap source = MakeBitmap(64, 48, [&](int x, int y) { return colours[(x * 7 + y * 13) % 256]; });
  TBitmap copy = source;
  const TBitmap result = QuantizeBitmap(copy, rsOctree, dkNone, 8);
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) ASSERT_EQ(IndexedPixelOf(result, x, y), PixelOf(source, x, y)) << x << "," << y;
  }
}

// Mean absolute error of 8x8 block averages: what the eye sees of a smooth
// area. Error diffusion trades per-pixel error for a correct local average.
double BlockError(const TBitmap& source, const TBitmap& result) {
  double total = 0;
  int blocks = 0;
  for (int by = 0; by + 8 <= source.Height(); by += 8) {
    for (int bx = 0; bx + 8 <= source.Width(); bx += 8) {
      double in = 0, out = 0;
      for (int y = by; y < by + 8; ++y) {
        for (int x = bx; x < bx + 8; ++x) {
          const Rgb a = PixelOf(source, x, y);
          const Rgb b = IndexedPixelOf(result, x, y);
          in += a.r + a.g + a.b;
          out += b.r + b.g + b.b;
        }
      }
      total += std::abs(in - out) / 64.0;
      ++blocks;
    }
  }
  return total / blocks;
}

class Diffusion : public ::testing::TestWithParam<TDitherKind> {};

TEST_P(Diffusion, LowersTheErrorOfASmoothGradient) {
  // A grey ramp over the four greys of rsGray4: wide flat bands without
  // dithering.
  const TBitmap source = MakeBitmap(256, 64, [](int x, int) {
    const auto v = static_cast<std::uint8_t>(x);
    return Rgb{v, v, v};
  });
  TBitmap plainCopy = source;
  TBitmap ditheredCopy = source;
  const double plain = BlockError(source, QuantizeBitmap(plainCopy, rsGray4, dkNone, 8));
  const double dithered = BlockError(source, QuantizeBitmap(ditheredCopy, rsGray4, GetParam(), 8));
  EXPECT_LT(dithered, plain * 0.6) << "plain " << plain << " dithered " << dithered;
}

std::string DitherName(const ::testing::TestParamInfo<TDitherKind>& info) {
  static const char* const names[] = {"None", "FloydSteinberg", "Stucki", "Sierra", "JaJuNi", "StevensonArce", "Burkes"};
  return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(Engines, Diffusion,
                         ::testing::Values(dkFloydSteinberg, dkStucki, dkSierra, dkJarvisJudiceNinke, dkStevensonArce,
                                           dkBurkes),
                         DitherName);

TEST(Diffusion, AnExactImageStaysExact) {
  // Pixels already in the palette make no error to spread.
  const TBitmap source = MakeBitmap(33, 17, [](int x, int y) {
    const auto level = static_cast<std::uint8_t>(51 * ((x + y) % 6));
    return Rgb{level, static_cast<std::uint8_t>(51 * (x % 6)), static_cast<std::uint8_t>(51 * (y % 6))};
  });
  for (TDitherKind kind : {dkFloydSteinberg, dkStucki, dkSierra, dkJarvisJudiceNinke, dkStevensonArce, dkBurkes}) {
    TBitmap copy = source;
    const TBitmap result = QuantizeBitmap(copy, rsWebCube216, kind, 8);
    for (int y = 0; y < 17; ++y) {
      for (int x = 0; x < 33; ++x) ASSERT_EQ(IndexedPixelOf(result, x, y), PixelOf(source, x, y)) << int{kind};
    }
  }
}

// Each engine's exact output on one small picture, as FNV-1a hashes of the
// index rows: the error measures above pass with a wrong weight, a dropped
// rounding term or a kernel that ignores the serpentine direction. Sixteen
// rows, so that even a small weight three rows down shows.
struct PinnedEngine {
  TDitherKind kind;
  std::uint64_t cube, mono;
};

class PinnedOutput : public ::testing::TestWithParam<PinnedEngine> {};

TEST_P(PinnedOutput, OfAColourGradient) {
  const TBitmap source = MakeBitmap(16, 16, [](int x, int y) {
    return Rgb{static_cast<std::uint8_t>(x * 17), static_cast<std::uint8_t>(y * 36 + x * 3),
               static_cast<std::uint8_t>(255 - x * 9 - y * 14)};
  });
  const auto hash = [&](TReductionScheme scheme) {
    TBitmap copy = source;
    const TBitmap result = QuantizeBitmap(copy, scheme, GetParam().kind, 8);
    std::uint64_t h = 14695981039346656037ull;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) h = (h ^ result.ScanLine(y)[x]) * 1099511628211ull;
    }
    return h;
  };
  EXPECT_EQ(hash(rsWebCube216), GetParam().cube);
  EXPECT_EQ(hash(rsBlackWhite), GetParam().mono);
}

INSTANTIATE_TEST_SUITE_P(Engines, PinnedOutput,
                         ::testing::Values(PinnedEngine{dkNone, 17119092687517841930u, 9244694972917638782u},
                                           PinnedEngine{dkFloydSteinberg, 13199917489905326248u, 6346719695349647661u},
                                           PinnedEngine{dkStucki, 5016245330405406376u, 7824104384682243097u},
                                           PinnedEngine{dkSierra, 12073375981747726816u, 12823317695917533640u},
                                           PinnedEngine{dkJarvisJudiceNinke, 1736945917701311894u, 12499692731978868491u},
                                           PinnedEngine{dkStevensonArce, 3788555683679286779u, 17340024684900057239u},
                                           PinnedEngine{dkBurkes, 11576463495366385224u, 9570343758450385382u}),
                         [](const auto& info) { return DitherName({info.param.kind, info.index}); });

// The cube without diffusion must give every pixel (colours row by row,
// Width to a row) what the cube's matcher gives its colour.
void ExpectEveryPixelOnTheCube(const std::vector<Rgb>& colours, int width) {
  const int height = static_cast<int>(colours.size()) / width;
  const auto at = [&](int x, int y) { return colours[static_cast<std::size_t>(y * width + x)]; };
  TBitmap source = MakeBitmap(width, height, at);
  const TBitmap result = QuantizeBitmap(source, rsWebCube216, dkNone, 8);
  TNetscapeColorLookup cube;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb c = at(x, y);
      std::uint8_t r, g, b;
      ASSERT_EQ(result.ScanLine(y)[x], cube.MatchColor(c.r, c.g, c.b, r, g, b)) << x << "," << y;
    }
  }
}

// The cube without diffusion maps rows through per-channel tables: every
// pixel must get what the cube's matcher gives its colour.
TEST(QuantizeBitmap, CubeWithoutDiffusionMatchesTheCubeMatcherForEveryLevel) {
  std::mt19937 rng(5);
  std::vector<Rgb> colours;
  for (int v = 0; v < 256; ++v) {
    colours.push_back({static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(255 - v), static_cast<std::uint8_t>(rng())});
  }
  for (int n = 0; n < 256 * 5; ++n) {
    colours.push_back({static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng())});
  }
  const int width = 67;  // odd, so rows run both ways and end unevenly
  ExpectEveryPixelOnTheCube(colours, width);
}

// Rows as animation frames have them: runs of one colour, and neighbours
// that differ in one channel only, on either side of a level boundary. A
// pixel may reuse its neighbour's entry only when all three channels match.
enum class CubeRows { Runs, OneChannelSteps, Noise };

std::string CubeRowsName(const std::tuple<CubeRows, int>& param) {
  const CubeRows kind = std::get<0>(param);
  const std::string name = kind == CubeRows::Runs ? "runs" : kind == CubeRows::Noise ? "noise" : "oneChannelSteps";
  return name + "_width" + std::to_string(std::get<1>(param));
}

class CubeRowsMatchTheMatcher : public ::testing::TestWithParam<std::tuple<CubeRows, int>> {};

TEST_P(CubeRowsMatchTheMatcher, EveryPixel) {
  const auto [kind, width] = GetParam();
  const int height = 9;
  std::mt19937 rng(static_cast<std::uint32_t>(width) * 3 + static_cast<std::uint32_t>(kind));
  // Values just below and at the cube's level boundaries.
  const std::uint8_t edges[] = {0, 22, 23, 73, 74, 124, 125, 175, 176, 226, 227, 255};
  const auto edge = [&] { return edges[rng() % std::size(edges)]; };
  std::vector<Rgb> colours(static_cast<std::size_t>(width) * height);
  Rgb current{edge(), edge(), edge()};
  for (auto& colour : colours) {
    switch (kind) {
      case CubeRows::Runs:
        if (rng() % 6 == 0) current = {edge(), edge(), edge()};
        break;
      case CubeRows::OneChannelSteps: {
        std::uint8_t* channel[] = {&current.r, &current.g, &current.b};
        *channel[rng() % 3] = edge();
        break;
      }
      case CubeRows::Noise:
        current = {static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng())};
        break;
    }
    colour = current;
  }
  ExpectEveryPixelOnTheCube(colours, width);
}

INSTANTIATE_TEST_SUITE_P(Rows, CubeRowsMatchTheMatcher,
                         ::testing::Combine(::testing::Values(CubeRows::Runs, CubeRows::OneChannelSteps,
                                                              CubeRows::Noise),
                                            ::testing::Values(1, 2, 5, 320)),
                         [](const auto& info) { return CubeRowsName(info.param); });

}  // namespace
}  // namespace tovasel
