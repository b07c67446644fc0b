#pragma once

#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tovasel::testing {

// A GIF file as a viewer shows it, decoded by giflib (an independent reader)
// and composed frame by frame on a canvas that starts as "unknown" (-1).
struct ShownFrame {
  std::vector<std::int32_t> canvas;  // 0xRRGGBB per screen pixel, or -1
  int delay = 0;
  bool hasControl = false;
  bool transparent = false;
  int transparentIndex = -1;
  int disposal = 0;
  int left = 0, top = 0, width = 0, height = 0;
  std::vector<std::uint8_t> indices;  // the frame's own pixels
  bool hasLoop = false;
  int loopCount = -1;
  int extensionCount = 0;
};

struct PlayedGif {
  int error = 0;
  std::string version;
  int width = 0, height = 0;
  std::vector<ShownFrame> frames;
};

inline PlayedGif PlayGif(const std::string& path) {
  PlayedGif result;
  int error = 0;
  GifFileType* file = DGifOpenFileName(path.c_str(), &error);
  if (file == nullptr) {
    result.error = error ? error : -1;
    return result;
  }
  if (DGifSlurp(file) != GIF_OK) {
    result.error = file->Error ? file->Error : -1;
    DGifCloseFile(file, &error);
    return result;
  }
  result.width = file->SWidth;
  result.height = file->SHeight;
  std::vector<std::int32_t> canvas(static_cast<std::size_t>(result.width) * result.height, -1);
  for (int i = 0; i < file->ImageCount; ++i) {
    const SavedImage& image = file->SavedImages[i];
    ShownFrame shown;
    shown.left = image.ImageDesc.Left;
    shown.top = image.ImageDesc.Top;
    shown.width = image.ImageDesc.Width;
    shown.height = image.ImageDesc.Height;
    shown.extensionCount = image.ExtensionBlockCount;
    GraphicsControlBlock gcb;
    if (DGifSavedExtensionToGCB(file, i, &gcb) == GIF_OK) {
      for (int e = 0; e < image.ExtensionBlockCount; ++e) {
        if (image.ExtensionBlocks[e].Function == GRAPHICS_EXT_FUNC_CODE) shown.hasControl = true;
      }
      shown.delay = gcb.DelayTime;
      shown.transparentIndex = gcb.TransparentColor;
      shown.transparent = gcb.TransparentColor != NO_TRANSPARENT_COLOR;
      shown.disposal = gcb.DisposalMode;
    }
    for (int e = 0; e + 1 < image.ExtensionBlockCount; ++e) {
      const ExtensionBlock& block = image.ExtensionBlocks[e];
      if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
          std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0) {
        const ExtensionBlock& data = image.ExtensionBlocks[e + 1];
        shown.hasLoop = true;
        if (data.ByteCount >= 3) shown.loopCount = data.Bytes[1] | (data.Bytes[2] << 8);
      }
    }
    const std::vector<std::int32_t> before = canvas;
    const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : file->SColorMap;
    shown.indices.assign(image.RasterBits,
                         image.RasterBits + static_cast<std::size_t>(shown.width) * shown.height);
    for (int y = 0; y < shown.height; ++y) {
      for (int x = 0; x < shown.width; ++x) {
        const int index = shown.indices[static_cast<std::size_t>(y) * shown.width + x];
        if (shown.transparent && index == shown.transparentIndex) continue;
        const int sx = shown.left + x, sy = shown.top + y;
        if (sx >= result.width || sy >= result.height) continue;
        std::int32_t colour = -2;  // index outside the map
        if (map != nullptr && index < map->ColorCount) {
          const GifColorType& c = map->Colors[index];
          colour = (c.Red << 16) | (c.Green << 8) | c.Blue;
        }
        canvas[static_cast<std::size_t>(sy) * result.width + sx] = colour;
      }
    }
    shown.canvas = canvas;
    // Disposal 2 clears the frame's area; 3 brings back what was before it.
    if (shown.disposal == 2 || shown.disposal == 3) {
      for (int y = shown.top; y < std::min(shown.top + shown.height, result.height); ++y) {
        for (int x = shown.left; x < std::min(shown.left + shown.width, result.width); ++x) {
          const std::size_t at = static_cast<std::size_t>(y) * result.width + x;
          canvas[at] = shown.disposal == 2 ? -1 : before[at];
        }
      }
    }
    result.frames.push_back(std::move(shown));
  }
  DGifCloseFile(file, &error);
  return result;
}

}  // namespace tovasel::testing
