#include "colour/dither_engine.h"

#include <algorithm>

namespace tovasel {

int TDitherEngine::MapPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                            std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) {
  const int index = Matcher.MatchColor(red, green, blue, r, g, b);
  Advance();
  return index;
}

void TDitherEngine::StartNextRow() {
  ScanDirection = -ScanDirection;
  CurrentColumn = ScanDirection > 0 ? 0 : RowWidth - 1;
}

namespace diffusion {

TErrorRows::TErrorRows(int rows, int entries) : rows_(static_cast<std::size_t>(rows)) {
  for (auto& row : rows_) {
    for (auto& channel : row) channel.assign(static_cast<std::size_t>(entries), 0);
  }
}

void TErrorRows::Rotate() {
  for (auto& channel : rows_.front()) std::fill(channel.begin(), channel.end(), 0);
  for (std::size_t i = 1; i < rows_.size(); ++i) rows_[i - 1].swap(rows_[i]);
}

}  // namespace diffusion

// ---------------------------------------------------------------------------
// Floyd-Steinberg

TFloydSteinbergDitherer::TFloydSteinbergDitherer(int rowWidth, TColorLookup& matcher)
    : TDitherEngine(rowWidth, matcher) {
  for (auto& channel : buffer_) channel.assign(static_cast<std::size_t>(rowWidth) + 2, 0);
}

int TFloydSteinbergDitherer::MapPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                      std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) {
  const int input[3] = {red, green, blue};
  int corrected[3];
  for (int c = 0; c < 3; ++c) {
    corrected[c] = diffusion::Correct(input[c], buffer_[c][pointer_] + ahead_[c], 16);
  }
  const int index =
      Matcher.MatchColor(static_cast<std::uint8_t>(corrected[0]), static_cast<std::uint8_t>(corrected[1]),
                         static_cast<std::uint8_t>(corrected[2]), r, g, b);
  const int chosen[3] = {r, g, b};
  for (int c = 0; c < 3; ++c) {
    // A pixel matched exactly passes nothing on and leaves the slot and the
    // running values as they are.
    const std::int32_t e = corrected[c] - chosen[c];
    if (e == 0) continue;
    buffer_[c][pointer_] = pending_[c] + 3 * e;
    pending_[c] = below_[c] + 5 * e;
    below_[c] = e;
    ahead_[c] = 7 * e;
  }
  pointer_ += ScanDirection;
  Advance();
  return index;
}

void TFloydSteinbergDitherer::StartNextRow() {
  for (int c = 0; c < 3; ++c) {
    buffer_[c][pointer_] = pending_[c];
    ahead_[c] = pending_[c] = below_[c] = 0;
  }
  TDitherEngine::StartNextRow();
  pointer_ = ScanDirection > 0 ? 0 : RowWidth + 1;
}

// ---------------------------------------------------------------------------
// The five-by-three family

T5by3Ditherer::T5by3Ditherer(int rowWidth, TColorLookup& matcher, int divisor)
    : TDitherEngine(rowWidth, matcher), divisor_(divisor), rows_(3, rowWidth + 4) {}

int T5by3Ditherer::MapPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                            std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) {
  const int at = CurrentColumn + 2;
  const int input[3] = {red, green, blue};
  int corrected[3];
  for (int c = 0; c < 3; ++c) corrected[c] = diffusion::Correct(input[c], rows_.Row(0, c)[at], divisor_);
  const int index =
      Matcher.MatchColor(static_cast<std::uint8_t>(corrected[0]), static_cast<std::uint8_t>(corrected[1]),
                         static_cast<std::uint8_t>(corrected[2]), r, g, b);
  const int chosen[3] = {r, g, b};
  for (int c = 0; c < 3; ++c) {
    const std::int32_t e = corrected[c] - chosen[c];
    if (e != 0) Spread(rows_.Row(0, c) + at, rows_.Row(1, c) + at, e, rows_.Row(2, c) + at, ScanDirection);
  }
  Advance();
  return index;
}

void T5by3Ditherer::StartNextRow() {
  rows_.Rotate();
  TDitherEngine::StartNextRow();
}

namespace {

// Adds weights[k] * e at offsets -2..+2 (in scan direction) around p.
inline void SpreadRow5(std::int32_t* p, const int (&weights)[5], std::int32_t e, int dir) {
  for (int k = 0; k < 5; ++k) {
    if (weights[k] != 0) p[(k - 2) * dir] += weights[k] * e;
  }
}

}  // namespace

void TStuckiDitherer::Spread(std::int32_t* current, std::int32_t* next, std::int32_t e,
                             std::int32_t* afterNext, int dir) {
  static constexpr int kCurrent[5] = {0, 0, 0, 8, 4};
  static constexpr int kNext[5] = {2, 4, 8, 4, 2};
  static constexpr int kAfter[5] = {1, 2, 4, 2, 1};
  SpreadRow5(current, kCurrent, e, dir);
  SpreadRow5(next, kNext, e, dir);
  SpreadRow5(afterNext, kAfter, e, dir);
}

void TSierraDitherer::Spread(std::int32_t* current, std::int32_t* next, std::int32_t e,
                             std::int32_t* afterNext, int dir) {
  static constexpr int kCurrent[5] = {0, 0, 0, 5, 3};
  static constexpr int kNext[5] = {2, 4, 5, 4, 2};
  static constexpr int kAfter[5] = {0, 2, 3, 2, 0};
  SpreadRow5(current, kCurrent, e, dir);
  SpreadRow5(next, kNext, e, dir);
  SpreadRow5(afterNext, kAfter, e, dir);
}

void TJaJuNiDitherer::Spread(std::int32_t* current, std::int32_t* next, std::int32_t e,
                             std::int32_t* afterNext, int dir) {
  static constexpr int kCurrent[5] = {0, 0, 0, 7, 5};
  static constexpr int kNext[5] = {3, 5, 7, 5, 3};
  static constexpr int kAfter[5] = {1, 3, 5, 3, 1};
  SpreadRow5(current, kCurrent, e, dir);
  SpreadRow5(next, kNext, e, dir);
  SpreadRow5(afterNext, kAfter, e, dir);
}

// ---------------------------------------------------------------------------
// Stevenson-Arce

TSteveArcheDitherer::TSteveArcheDitherer(int rowWidth, TColorLookup& matcher)
    : TDitherEngine(rowWidth, matcher), rows_(4, rowWidth + 6) {}

int TSteveArcheDitherer::MapPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                  std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) {
  const int at = CurrentColumn + 3;
  const int dir = ScanDirection;
  const int input[3] = {red, green, blue};
  int corrected[3];
  for (int c = 0; c < 3; ++c) corrected[c] = diffusion::Correct(input[c], rows_.Row(0, c)[at], 200);
  const int index =
      Matcher.MatchColor(static_cast<std::uint8_t>(corrected[0]), static_cast<std::uint8_t>(corrected[1]),
                         static_cast<std::uint8_t>(corrected[2]), r, g, b);
  const int chosen[3] = {r, g, b};
  for (int c = 0; c < 3; ++c) {
    const std::int32_t e = corrected[c] - chosen[c];
    if (e == 0) continue;
    std::int32_t* r0 = rows_.Row(0, c) + at;
    std::int32_t* r1 = rows_.Row(1, c) + at;
    std::int32_t* r2 = rows_.Row(2, c) + at;
    std::int32_t* r3 = rows_.Row(3, c) + at;
    r0[2 * dir] += 32 * e;
    r1[-3 * dir] += 12 * e;
    r1[-1 * dir] += 26 * e;
    r1[1 * dir] += 30 * e;
    r1[3 * dir] += 16 * e;
    r2[-2 * dir] += 12 * e;
    r2[0] += 26 * e;
    r2[2 * dir] += 12 * e;
    r3[-3 * dir] += 5 * e;
    r3[-1 * dir] += 12 * e;
    r3[1 * dir] += 12 * e;
    r3[3 * dir] += 5 * e;
  }
  Advance();
  return index;
}

void TSteveArcheDitherer::StartNextRow() {
  rows_.Rotate();
  TDitherEngine::StartNextRow();
}

// ---------------------------------------------------------------------------
// Burkes

TBurkesDitherer::TBurkesDitherer(int rowWidth, TColorLookup& matcher)
    : TDitherEngine(rowWidth, matcher), rows_(2, rowWidth + 4) {}

int TBurkesDitherer::MapPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                              std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) {
  static constexpr int kCurrent[5] = {0, 0, 0, 8, 4};
  static constexpr int kNext[5] = {2, 4, 8, 4, 2};
  const int at = CurrentColumn + 2;
  const int input[3] = {red, green, blue};
  int corrected[3];
  for (int c = 0; c < 3; ++c) corrected[c] = diffusion::Correct(input[c], rows_.Row(0, c)[at], 32);
  const int index =
      Matcher.MatchColor(static_cast<std::uint8_t>(corrected[0]), static_cast<std::uint8_t>(corrected[1]),
                         static_cast<std::uint8_t>(corrected[2]), r, g, b);
  const int chosen[3] = {r, g, b};
  for (int c = 0; c < 3; ++c) {
    const std::int32_t e = corrected[c] - chosen[c];
    if (e == 0) continue;
    SpreadRow5(rows_.Row(0, c) + at, kCurrent, e, ScanDirection);
    SpreadRow5(rows_.Row(1, c) + at, kNext, e, ScanDirection);
  }
  Advance();
  return index;
}

void TBurkesDitherer::StartNextRow() {
  rows_.Rotate();
  TDitherEngine::StartNextRow();
}

}  // namespace tovasel
