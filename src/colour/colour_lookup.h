#pragma once

#include <array>
#include <cstdint>

#include "imaging/palette.h"

namespace tovasel {

// Maps a colour to a palette index. MatchColor takes 8-bit channels, returns
// the index and writes the chosen palette colour to r, g, b.
class TColorLookup {
 public:
  explicit TColorLookup(int paletteSize) : PaletteSize(paletteSize) {}
  virtual ~TColorLookup() = default;
  TColorLookup(const TColorLookup&) = delete;
  TColorLookup& operator=(const TColorLookup&) = delete;

  virtual int MatchColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& r,
                         std::uint8_t& g, std::uint8_t& b) = 0;

  // Number of palette colours; 0 means there is no palette to match against.
  int PaletteSize;
};

// Nearest colour of an arbitrary palette, remembered per 15-bit colour cell.
// A cell answers with the entry found for the first colour that reached it,
// for every later colour of that cell, so the result depends on the order in
// which pixels are matched.
class TFastColorLookup : public TColorLookup {
 public:
  explicit TFastColorLookup(const TColorPalette& palette);
  int MatchColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& r,
                 std::uint8_t& g, std::uint8_t& b) override;

 private:
  static int Cell(unsigned red, unsigned green, unsigned blue) {
    return static_cast<int>((red >> 3) | ((green >> 3) << 5) | ((blue >> 3) << 10));
  }

  std::array<TColorEntry, 256> entries_{};
  std::array<std::int16_t, 32768> cellCache_;
};

// The 6x6x6 cube, found arithmetically: each channel to (v + 3) div 51.
class TNetscapeColorLookup : public TColorLookup {
 public:
  TNetscapeColorLookup() : TColorLookup(216) {}
  int MatchColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& r,
                 std::uint8_t& g, std::uint8_t& b) override;
};

// 256 greys by luminance (77 R + 150 G + 29 B) div 256.
class TGrayScaleLookup : public TColorLookup {
 public:
  TGrayScaleLookup() : TColorLookup(256) {}
  int MatchColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& r,
                 std::uint8_t& g, std::uint8_t& b) override;
};

// Black below a weighted luminance of 32513 (of 65280), white from there on.
class TMonochromeLookup : public TColorLookup {
 public:
  TMonochromeLookup() : TColorLookup(2) {}
  int MatchColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& r,
                 std::uint8_t& g, std::uint8_t& b) override;
};

}  // namespace tovasel
