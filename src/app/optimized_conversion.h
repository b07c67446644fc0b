#pragma once

#include <string>

#include "app/gif_conversion.h"

namespace tovasel {

// The bytes of the smallest lossless GIF of a conversion at optimisation
// Level (1 or 2): the pictures the exact-colour conversion shows, frame for
// frame and with its delays (with Transparent, a frame's bottom-left colour
// lets the picture before show through). Raises what BuildGifDocument
// raises for a file without frames or a bad limit, and GIFException
// "Unsupported GIF version" for a limit of -1.
std::string BuildOptimizedGif(const TConversionInput& input, int Level);

// The number of images in a GIF stream this program wrote.
int CountGifFrames(const std::string& Bytes);

// Writes Bytes at OutputPath, replacing an existing file only whole.
void StoreGifBytes(const std::string& Bytes, const std::string& OutputPath);

}  // namespace tovasel
