#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "flicwriter/flic_writer.h"
#include "support/recording_view.h"
#include "support/temp_folder.h"

namespace tovasel::testing {

namespace fw = tovasel::flicwriter;

inline std::vector<char> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A small animation whose frames share a background and move a few blocks,
// with colours on and off the cube and a palette change half-way. Every
// frame sets all its colours, so the player's carried-over palette never
// shows.
inline std::vector<fw::TAnimationFrame> MovingBlocks(int width, int height, int frames,
                                                     unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<fw::TAnimationFrame> result;
  fw::TColours colours{};
  for (int i = 0; i < 256; ++i) {
    colours[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(rng()),
                                            static_cast<std::uint8_t>(rng()),
                                            static_cast<std::uint8_t>(rng())};
  }
  fw::TIndexedPicture background(width, height);
  for (auto& p : background.Pixels) p = static_cast<std::uint8_t>(rng() % 24);
  for (int f = 0; f < frames; ++f) {
    fw::TAnimationFrame frame;
    frame.Picture = background;
    for (int b = 0; b < 3; ++b) {
      const int bx = (f * (2 + b) + b * 5) % width;
      const int by = (f + b * 3) % height;
      for (int y = by; y < std::min(height, by + 4); ++y)
        for (int x = bx; x < std::min(width, bx + 5); ++x)
          frame.Picture.At(x, y) = static_cast<std::uint8_t>(100 + b * 10 + f % 7);
    }
    if (f == frames / 2) {
      for (int i = 0; i < 24; ++i) colours[static_cast<std::size_t>(i)].Red ^= 0x80;
    }
    frame.Colours = colours;
    frame.Encoding = f % 3 == 2 ? fw::TEncoding::enByteRun : fw::TEncoding::enDelta;
    result.push_back(std::move(frame));
  }
  return result;
}

// A chain of folders deeper than the longest path the system accepts, made
// and removed relative to each folder, as plain paths cannot reach its end.
class TooDeepFolder {
 public:
  TooDeepFolder(const std::filesystem::path& parent, int levels) {
    fds_.push_back(::open(parent.c_str(), O_RDONLY | O_DIRECTORY));
    for (int i = 0; i < levels && fds_.back() >= 0; ++i) {
      ::mkdirat(fds_.back(), kName.c_str(), 0700);
      fds_.push_back(::openat(fds_.back(), kName.c_str(), O_RDONLY | O_DIRECTORY));
    }
  }
  ~TooDeepFolder() {
    ::close(fds_.back());
    fds_.pop_back();
    while (!fds_.empty()) {
      ::unlinkat(fds_.back(), kName.c_str(), AT_REMOVEDIR);
      ::close(fds_.back());
      fds_.pop_back();
    }
  }
  bool Made() const { return fds_.back() >= 0; }

  inline static const std::string kName = std::string(200, 'd');

 private:
  std::vector<int> fds_;
};

inline void WriteAnimation(const std::string& path, const std::vector<fw::TAnimationFrame>& frames,
                           const fw::TAnimationOptions& options = {}) {
  fw::WriteFile(path, fw::Serialize(fw::BuildAnimation(frames, options)));
}

}  // namespace tovasel::testing
