#pragma once

#include <filesystem>

#include "imaging/bitmap.h"

namespace tovasel::cli {

// Writes a 24-bit bitmap as a binary PPM (P6, top row first, red, green,
// blue). Returns false when the file cannot be written.
bool WritePpm(const std::filesystem::path& path, const TBitmap& bitmap);

}  // namespace tovasel::cli
