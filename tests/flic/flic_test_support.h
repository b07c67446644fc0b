#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "flic/flic_decoder.h"
#include "flic/flic_player.h"
#include "flicwriter/flic_writer.h"
#include "support/temp_folder.h"

namespace tovasel::testing {

namespace fw = tovasel::flicwriter;

// A FLIC file in a fresh temporary folder, removed with the object.
class TTempFlic {
 public:
  explicit TTempFlic(const std::vector<std::uint8_t>& bytes, const std::string& name = "test.flc")
      : path_(dir_.path() / name) {
    fw::WriteFile(path_, bytes);
  }
  explicit TTempFlic(const fw::TFlicLayout& layout) : TTempFlic(fw::Serialize(layout)) {}

  const std::filesystem::path& Path() const { return path_; }
  std::string Name() const { return path_.string(); }

 private:
  TempFolder dir_{"flic"};
  std::filesystem::path path_;
};

// The surface's picture, top row first, without row padding.
inline fw::TIndexedPicture PictureOf(const TFlicSurface& surface) {
  fw::TIndexedPicture p(surface.Width(), surface.Height());
  for (int y = 0; y < surface.Height(); ++y)
    std::copy_n(surface.PictureRow(y), surface.Width(), p.Pixels.begin() + static_cast<std::ptrdiff_t>(y) * surface.Width());
  return p;
}

inline fw::TColours ColoursOf(const TPalette& palette) {
  fw::TColours c{};
  for (int i = 0; i < 256; ++i) c[i] = fw::TRgb{palette.Entry(i).Red, palette.Entry(i).Green, palette.Entry(i).Blue};
  return c;
}

// Number of pixels that differ, for readable failure messages.
inline int DifferingPixels(const fw::TIndexedPicture& a, const fw::TIndexedPicture& b) {
  if (a.Width != b.Width || a.Height != b.Height) return -1;
  int n = 0;
  for (std::size_t i = 0; i < a.Pixels.size(); ++i) n += a.Pixels[i] != b.Pixels[i];
  return n;
}

// Opens a file in a player that paints nowhere.
inline void OpenIn(TFlicPlayer32& player, const std::filesystem::path& path) {
  player.FileName = path.string();
  player.Open();
}

// The whole file, for a decoder that opens from memory.
std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path);

// The decoder shows what the player shows: open or not, error, frame
// counters, pixels and colours.
void ExpectSameWalkState(const TFlicPlayer32& player, const TFlicDecoder& decoder);

// A deterministic pseudo-random picture with runs, so every encoder has work.
fw::TIndexedPicture PatternPicture(int width, int height, unsigned seed);
fw::TColours PatternColours(unsigned seed);

}  // namespace tovasel::testing
