#include "colour/system_palettes.h"

namespace tovasel {

const TColorPalette& SystemColors20() {
  static const TColorPalette colours = {
      {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
      {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
      {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
      {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
  };
  return colours;
}

// The halftone table follows the shape of a display halftone palette so that
// the static colours keep their usual places:
//   0-9      the first ten static colours
//   10-225   the 6x6x6 cube, entry 10 + 36r + 6g + b = (51r, 51g, 51b)
//   226-245  twenty greys k * 255 / 21 rounded (k = 1..20, 12 to 243),
//            which fall between the cube's six grey levels
//   246-255  the last ten static colours
// Colours that repeat (black, white, the cube's corners) keep their first
// entry under the fast matcher, whose cells remember the first entry met.
const TColorPalette& Halftone256() {
  static const TColorPalette table = [] {
    TColorPalette t;
    t.reserve(256);
    const TColorPalette& sys = SystemColors20();
    for (int i = 0; i < 10; ++i) t.push_back(sys[i]);
    for (int r = 0; r < 6; ++r) {
      for (int g = 0; g < 6; ++g) {
        for (int b = 0; b < 6; ++b) {
          t.push_back({static_cast<std::uint8_t>(51 * r), static_cast<std::uint8_t>(51 * g),
                       static_cast<std::uint8_t>(51 * b)});
        }
      }
    }
    for (int k = 1; k <= 20; ++k) {
      const auto v = static_cast<std::uint8_t>((k * 255 * 2 + 21) / 42);
      t.push_back({v, v, v});
    }
    for (int i = 10; i < 20; ++i) t.push_back(sys[i]);
    return t;
  }();
  return table;
}

const TColorPalette& Gray4Palette() {
  static const TColorPalette table = {{0, 0, 0}, {128, 128, 128}, {192, 192, 192}, {255, 255, 255}};
  return table;
}

const TColorPalette& BlackWhitePalette() {
  static const TColorPalette table = {{0, 0, 0}, {255, 255, 255}};
  return table;
}

const TColorPalette& Gray256Palette() {
  static const TColorPalette table = [] {
    TColorPalette t(256);
    for (int i = 0; i < 256; ++i) {
      const auto v = static_cast<std::uint8_t>(i);
      t[i] = {v, v, v};
    }
    return t;
  }();
  return table;
}

const TColorPalette& WebCube216Palette() {
  static const TColorPalette table = [] {
    TColorPalette t;
    t.reserve(216);
    for (int r = 0; r < 6; ++r) {
      for (int g = 0; g < 6; ++g) {
        for (int b = 0; b < 6; ++b) {
          t.push_back({static_cast<std::uint8_t>(51 * r), static_cast<std::uint8_t>(51 * g),
                       static_cast<std::uint8_t>(51 * b)});
        }
      }
    }
    return t;
  }();
  return table;
}

}  // namespace tovasel
