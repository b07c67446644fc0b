#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "gif/colour_map.h"

namespace tovasel {

// Whole runs of colour indices, counted or renumbered. Animation frames are
// mostly flat (nine words in ten of a.fli hold one index eight times), so
// both take a run of one index at once and the other words eight indices at
// a time.

// How often each index occurs in a run of pixels.
using TIndexCounts = std::array<std::int64_t, 256>;

// Adds to counts how often each index occurs among the pixels.
void CountIndices(const std::uint8_t* pixels, std::size_t size, TIndexCounts& counts);

// Replaces every pixel by its entry in the table.
void TranslatePixels(std::uint8_t* pixels, std::size_t size, const TColorTranslation& table);

// Writes the table's entry for every pixel of in to out (which may be in).
void TranslatePixels(const std::uint8_t* in, std::uint8_t* out, std::size_t size, const TColorTranslation& table);

}  // namespace tovasel
