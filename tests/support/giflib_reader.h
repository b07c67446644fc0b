#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tovasel::testing {

// A GIF file as giflib (an independent reader) decodes it, and as a viewer
// shows it: each frame drawn on a canvas that starts as "unknown" (-1).
struct ShownFrame {
  int left = 0, top = 0, width = 0, height = 0;
  bool interlaced = false;
  int colourCount = 0;                // local table size, 0 without
  std::vector<std::uint8_t> indices;  // the frame's own pixels, rows in picture order
  std::vector<std::int32_t> canvas;   // 0xRRGGBB per screen pixel, -1 unknown, -2 index outside the map
  int delay = 0;
  bool hasControl = false;
  bool transparent = false;
  int transparentIndex = -1;
  int disposal = 0;
  bool hasLoop = false;
  int loopCount = -1;
  int extensionCount = 0;
};

struct PlayedGif {
  int error = 0;  // giflib's error code, 0 on success
  int width = 0, height = 0;
  int globalColourCount = 0;
  std::vector<ShownFrame> frames;
};

PlayedGif DecodeWithGiflib(std::span<const std::uint8_t> bytes);
PlayedGif PlayGif(const std::string& path);

}  // namespace tovasel::testing
