#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "colour/lossless_source.h"

namespace tovasel {

// How often and when each colour of the pixels that the pictures change
// first appears, and which colours each changing picture paints in how
// many pixels.
struct TColourCount {
  std::int64_t Pixels = 0;
  std::int64_t First = 0;
  std::int64_t Frames = 0;
  std::int64_t LastFrame = -1;
};

struct TColourUse {
  std::unordered_map<std::int32_t, TColourCount> Counts;
  std::vector<std::vector<std::int32_t>> FrameColours;
  std::vector<std::int64_t> FramePixels;
  std::size_t Listed = 0;  // sum of the lists' sizes
};

// One pass over the source's pictures.
TColourUse CountColours(const TLosslessSource& source);

enum class TGlobalOrder : std::uint8_t {
  Frames,  // colours that most frames change first
  Covers,  // the colours of the frames that gain most from low indices first
  First,   // order of first appearance
};

// Up to 256 colours for the global table. A frame needs as many index bits
// as its highest index takes, so the orders put the colours of many or
// large frames at the low indices.
std::vector<std::int32_t> GlobalColours(const TColourUse& use, TGlobalOrder order);

// A rough size in bits of the frames' data with a global table: each
// changed pixel at the code size its frame's highest index (and a
// transparent index after it) needs; a frame with a colour outside the
// table pays for a local table of its own.
double EstimatedBits(const TColourUse& use, const std::vector<std::int32_t>& global);

}  // namespace tovasel
