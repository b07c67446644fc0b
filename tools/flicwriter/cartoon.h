#pragma once

#include <vector>

#include "flicwriter/flic_writer.h"

namespace tovasel::flicwriter {

// A 320 x 200 animation like a small cartoon: six blocks moving over a
// still background of tiles, with a colour changing every 50 frames. The
// benchmarks time and measure their conversions on it.
std::vector<TAnimationFrame> Cartoon(int frames);

}  // namespace tovasel::flicwriter
