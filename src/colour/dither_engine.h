#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "colour/colour_lookup.h"

namespace tovasel {

// Maps the pixels of one image, row by row, to palette indices. Rows are
// visited in serpentine order: the first left to right, the next right to
// left, and so on; CurrentColumn tells the caller which pixel comes next.
// The plain engine matches every colour as it is (no dithering).
class TDitherEngine {
 public:
  TDitherEngine(int rowWidth, TColorLookup& matcher) : RowWidth(rowWidth), Matcher(matcher) {}
  virtual ~TDitherEngine() = default;
  TDitherEngine(const TDitherEngine&) = delete;
  TDitherEngine& operator=(const TDitherEngine&) = delete;

  // Matches the pixel at CurrentColumn and advances CurrentColumn by
  // ScanDirection. Writes the chosen palette colour to r, g, b.
  virtual int MapPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& r,
                       std::uint8_t& g, std::uint8_t& b);
  // Reverses the direction and puts CurrentColumn on the first pixel of the
  // next row in that direction.
  virtual void StartNextRow();

  const int RowWidth;
  int ScanDirection = 1;
  // Moves CurrentColumn one pixel on; every engine's MapPixel ends with it.
  void Advance() { CurrentColumn += ScanDirection; }

  int CurrentColumn = 0;
  TColorLookup& Matcher;
};

// Shared pieces of the error-diffusion engines. Every channel is handled
// alike: its corrected value is the input plus the rounded, truncated share
// of the accumulated error, clamped to 0..255.
namespace diffusion {

inline int Correct(int input, int accumulated, int divisor) {
  const int v = input + (accumulated + divisor / 2) / divisor;
  return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// Rows of error for the three channels; row 0 is the current image row.
// Rotating moves row 1 to row 0 and so on and puts the cleared old row 0
// last, so no error data is copied between rows.
class TErrorRows {
 public:
  TErrorRows(int rows, int entries);
  std::int32_t* Row(int row, int channel) { return rows_[row][channel].data(); }
  void Rotate();

 private:
  std::vector<std::array<std::vector<std::int32_t>, 3>> rows_;
};

}  // namespace diffusion

// Floyd-Steinberg: 7/16 ahead, 3/16, 5/16 and 1/16 on the next row, kept in
// one buffer per channel plus three running values.
class TFloydSteinbergDitherer : public TDitherEngine {
 public:
  TFloydSteinbergDitherer(int rowWidth, TColorLookup& matcher);
  int MapPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& r,
               std::uint8_t& g, std::uint8_t& b) override;
  void StartNextRow() override;

 private:
  std::array<std::vector<std::int32_t>, 3> buffer_;
  int pointer_ = 0;
  std::array<std::int32_t, 3> ahead_{};
  std::array<std::int32_t, 3> pending_{};
  std::array<std::int32_t, 3> below_{};
};

// Engines spreading over the current row and the next two, five columns
// wide; pixel x uses entry x + 2 of each row buffer.
class T5by3Ditherer : public TDitherEngine {
 public:
  T5by3Ditherer(int rowWidth, TColorLookup& matcher, int divisor);
  int MapPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& r,
               std::uint8_t& g, std::uint8_t& b) override;
  void StartNextRow() override;

 protected:
  // Adds the weighted error around `at` (the current pixel's entry in each
  // row); `dir` is the scan direction, so +1 offsets lie ahead.
  virtual void Spread(std::int32_t* current, std::int32_t* next, std::int32_t error,
                      std::int32_t* afterNext, int dir) = 0;

 private:
  const int divisor_;
  diffusion::TErrorRows rows_;
};

class TStuckiDitherer : public T5by3Ditherer {
 public:
  TStuckiDitherer(int rowWidth, TColorLookup& matcher) : T5by3Ditherer(rowWidth, matcher, 42) {}

 protected:
  void Spread(std::int32_t* current, std::int32_t* next, std::int32_t error,
              std::int32_t* afterNext, int dir) override;
};

class TSierraDitherer : public T5by3Ditherer {
 public:
  TSierraDitherer(int rowWidth, TColorLookup& matcher) : T5by3Ditherer(rowWidth, matcher, 32) {}

 protected:
  void Spread(std::int32_t* current, std::int32_t* next, std::int32_t error,
              std::int32_t* afterNext, int dir) override;
};

class TJaJuNiDitherer : public T5by3Ditherer {
 public:
  TJaJuNiDitherer(int rowWidth, TColorLookup& matcher) : T5by3Ditherer(rowWidth, matcher, 48) {}

 protected:
  void Spread(std::int32_t* current, std::int32_t* next, std::int32_t error,
              std::int32_t* afterNext, int dir) override;
};

// Stevenson-Arce: four rows, seven columns wide, divisor 200.
class TSteveArcheDitherer : public TDitherEngine {
 public:
  TSteveArcheDitherer(int rowWidth, TColorLookup& matcher);
  int MapPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& r,
               std::uint8_t& g, std::uint8_t& b) override;
  void StartNextRow() override;

 private:
  diffusion::TErrorRows rows_;
};

// Burkes: two rows, five columns wide, divisor 32.
class TBurkesDitherer : public TDitherEngine {
 public:
  TBurkesDitherer(int rowWidth, TColorLookup& matcher);
  int MapPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& r,
               std::uint8_t& g, std::uint8_t& b) override;
  void StartNextRow() override;

 private:
  diffusion::TErrorRows rows_;
};

}  // namespace tovasel
