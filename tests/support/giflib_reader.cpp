#include "support/giflib_reader.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace tovasel::testing {
namespace {

struct MemoryReader {
  std::span<const std::uint8_t> data;
  std::size_t offset = 0;
};

int ReadFromMemory(GifFileType* file, GifByteType* buffer, int count) {
  auto* reader = static_cast<MemoryReader*>(file->UserData);
  const std::size_t n = std::min(reader->data.size() - reader->offset, static_cast<std::size_t>(count));
  std::memcpy(buffer, reader->data.data() + reader->offset, n);
  reader->offset += n;
  return static_cast<int>(n);
}

void ReadControl(GifFileType* file, int i, ShownFrame& shown) {
  const SavedImage& image = file->SavedImages[i];
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
}

void Draw(const ColorMapObject* map, const ShownFrame& shown, int width, int height, std::vector<std::int32_t>& canvas) {
  for (int y = 0; y < shown.height; ++y) {
    for (int x = 0; x < shown.width; ++x) {
      const int index = shown.indices[static_cast<std::size_t>(y) * shown.width + x];
      if (shown.transparent && index == shown.transparentIndex) continue;
      const int sx = shown.left + x, sy = shown.top + y;
      if (sx >= width || sy >= height) continue;
      std::int32_t colour = -2;
      if (map != nullptr && index < map->ColorCount) {
        const GifColorType& c = map->Colors[index];
        colour = (c.Red << 16) | (c.Green << 8) | c.Blue;
      }
      canvas[static_cast<std::size_t>(sy) * width + sx] = colour;
    }
  }
}

PlayedGif Play(GifFileType* file, int error) {
  PlayedGif result;
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
  result.globalColourCount = file->SColorMap ? file->SColorMap->ColorCount : 0;
  std::vector<std::int32_t> canvas(static_cast<std::size_t>(result.width) * result.height, -1);
  for (int i = 0; i < file->ImageCount; ++i) {
    const SavedImage& image = file->SavedImages[i];
    ShownFrame shown;
    shown.left = image.ImageDesc.Left;
    shown.top = image.ImageDesc.Top;
    shown.width = image.ImageDesc.Width;
    shown.height = image.ImageDesc.Height;
    shown.interlaced = image.ImageDesc.Interlace;
    shown.colourCount = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap->ColorCount : 0;
    shown.extensionCount = image.ExtensionBlockCount;
    ReadControl(file, i, shown);
    // giflib's slurp puts interlaced rows in their picture positions.
    shown.indices.assign(image.RasterBits, image.RasterBits + static_cast<std::size_t>(shown.width) * shown.height);
    const std::vector<std::int32_t> before = canvas;
    Draw(image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : file->SColorMap, shown, result.width, result.height,
         canvas);
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

}  // namespace

PlayedGif DecodeWithGiflib(std::span<const std::uint8_t> bytes) {
  MemoryReader reader{bytes};
  int error = 0;
  GifFileType* file = DGifOpen(&reader, &ReadFromMemory, &error);
  return Play(file, error);
}

PlayedGif PlayGif(const std::string& path) {
  int error = 0;
  return Play(DGifOpenFileName(path.c_str(), &error), error);
}

}  // namespace tovasel::testing
