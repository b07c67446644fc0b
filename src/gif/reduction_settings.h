#pragma once

#include <cstdint>

namespace tovasel {

// Palette source used when a true-colour bitmap is imported into a frame.
// Values are stored in one byte; values past rsGivenPalette can occur and are
// rejected by the import.
enum TReductionScheme : std::uint8_t {
  rsKeepColors = 0,
  rsSystem20 = 1,
  rsHalftone256 = 2,
  rsGray4 = 3,
  rsBlackWhite = 4,
  rsGray256 = 5,
  rsWebCube216 = 6,
  rsOctree = 7,
  rsOctreeSystem = 8,
  rsGivenPalette = 9,
};

// Pixel mapping engine used by the import: plain nearest colour or one of the
// error-diffusion kernels.
enum TDitherKind : std::uint8_t {
  dkNone = 0,
  dkFloydSteinberg = 1,
  dkStucki = 2,
  dkSierra = 3,
  dkJarvisJudiceNinke = 4,
  dkStevensonArce = 5,
  dkBurkes = 6,
};

// One pass of the frame optimisation; the value is the pass's bit in the set.
enum TCompactOption : std::uint8_t {
  coCropFrames = 1,
  coMergeUnchanged = 2,
  coCleanup = 4,
  coOptimizeColorMaps = 8,
  coReduceColors = 16,
};

// A set of TCompactOption held in one byte.
class TCompactOptions {
 public:
  constexpr TCompactOptions() = default;
  constexpr TCompactOptions(TCompactOption option) : bits_(option) {}
  static constexpr TCompactOptions FromBits(std::uint8_t bits) {
    TCompactOptions set;
    set.bits_ = bits;
    return set;
  }

  constexpr bool Contains(TCompactOption option) const { return (bits_ & option) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr std::uint8_t Bits() const { return bits_; }

  constexpr TCompactOptions& operator|=(TCompactOptions other) {
    bits_ = static_cast<std::uint8_t>(bits_ | other.bits_);
    return *this;
  }
  friend constexpr TCompactOptions operator|(TCompactOptions a, TCompactOptions b) {
    return a |= b;
  }
  friend constexpr bool operator==(TCompactOptions, TCompactOptions) = default;

 private:
  std::uint8_t bits_ = 0;
};

constexpr TCompactOptions operator|(TCompactOption a, TCompactOption b) {
  return TCompactOptions(a) | TCompactOptions(b);
}

}  // namespace tovasel
