#pragma once

#include <cstdint>
#include <iosfwd>

#include "colour/lossless_source.h"

namespace tovasel {

// Writes to Stream the smallest GIF this encoder finds that shows exactly
// the source's pictures and delays when composed with its disposal methods:
// each frame covers only what changed from the picture actually shown, keeps
// unchanged pixels as a transparent index when the data gets shorter that
// way, uses the global or a local colour table (each cut to the smallest
// power of two), the smallest LZW code size and the shorter row order; a
// frame that changes half the screen or more never costs more than the
// whole screen written as the plain conversion writes it. Consecutive equal pictures become one frame with their delays
// summed where each of those delays is at least 2 hundredths (viewers show
// shorter ones as 10), else each keeps a frame of one pixel. Its LZW streams
// place Clear codes where a fresh table pays; level 2 also chooses shorter
// strings where that pays and tries more candidates per frame, and is never
// larger than level 1.
// Returns the number of images written. Raises GIFException "Stream write
// error" when the stream refuses the bytes.
int EncodeLosslessGif(const TLosslessSource& source, int level, std::ostream& stream);

}  // namespace tovasel
