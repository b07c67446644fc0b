#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/frame_cache.h"
#include "imaging/bitmap.h"

namespace tovasel::testing {

inline std::int32_t OnCube(const std::uint8_t* bgr) {
  auto level = [](int v) { return (v + 3) / 51 * 51; };
  return (level(bgr[2]) << 16) | (level(bgr[1]) << 8) | level(bgr[0]);
}

// What a viewer should show after each frame: the cached frames on the
// cube; with transparency, a frame's bottom-left colour lets the picture
// before show through.
inline std::vector<std::vector<std::int32_t>> ExpectedPictures(const TFrameCache& cache, bool transparent) {
  std::vector<std::vector<std::int32_t>> pictures;
  const int w = cache.Width(), h = cache.Height();
  std::vector<std::int32_t> canvas(static_cast<std::size_t>(w) * h, -1);
  TBitmap bitmap;
  for (int i = 0; i < cache.Count(); ++i) {
    cache.CopyTo(i, bitmap);
    const std::int32_t key = OnCube(bitmap.ScanLine(h - 1));
    for (int y = 0; y < h; ++y) {
      const std::uint8_t* row = bitmap.ScanLine(y);
      for (int x = 0; x < w; ++x) {
        const std::int32_t colour = OnCube(row + 3 * x);
        if (transparent && colour == key) continue;
        canvas[static_cast<std::size_t>(y) * w + x] = colour;
      }
    }
    pictures.push_back(canvas);
  }
  return pictures;
}

// The distinct pictures in the order shown, starting from the empty canvas:
// a frame that shows nothing new (one the crop removed) leaves no trace.
inline std::vector<std::vector<std::int32_t>> ShownSequence(std::vector<std::vector<std::int32_t>> pictures) {
  if (!pictures.empty()) pictures.insert(pictures.begin(), std::vector<std::int32_t>(pictures[0].size(), -1));
  pictures.erase(std::unique(pictures.begin(), pictures.end()), pictures.end());
  return pictures;
}

}  // namespace tovasel::testing
