#pragma once

#include <cstdint>
#include <iosfwd>

namespace tovasel {

class TFrameSource;
struct TConversionSettings;

// What the smallest lossless GIF holds, counted in pictures of one byte per
// pixel: the composed picture, the encoder's three pictures of four bytes
// per pixel and its per-pixel working arrays.
inline constexpr std::int64_t kSmallestGifPictures = 20;

// Writes the smallest lossless GIF (the options' Optimize level, 1 or 2) of
// frames 0 .. Last: the pictures the exact-colour conversion shows, frame
// for frame and with its delays (with Transparent, a frame's bottom-left
// colour lets the picture before show through). The encoder reads the
// pictures once per pass, so the source is rewound for each. Returns the
// number of GIF frames written.
int WriteSmallestGif(TFrameSource& Frames, const TConversionSettings& Settings, std::int64_t Last,
                     std::ostream& Stream);

}  // namespace tovasel
