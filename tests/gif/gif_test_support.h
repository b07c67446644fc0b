#pragma once

#include <gif_lib.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "gif/application_extension.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"

namespace tovasel::testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes SaveToBytes(TGIFImage& document) {
  std::ostringstream out(std::ios::binary);
  document.SaveToStream(out);
  const std::string text = out.str();
  return Bytes(text.begin(), text.end());
}

// Appends a frame of the given size at 0,0 with the pixels (row by row) and
// a local colour map of grey entries 0..colours-1 (none when colours is 0).
inline TGIFSubImage& AddRawFrame(TGIFImage& document, int width, int height,
                                 std::span<const std::uint8_t> pixels, int colours) {
  auto frame = std::make_unique<TGIFSubImage>(document);
  TGIFSubImage& result = *frame;
  frame->Place(0, 0, width, height);
  if (!pixels.empty()) std::memcpy(frame->PixelData(), pixels.data(), pixels.size());
  for (int i = 0; i < colours; ++i) {
    frame->LocalColors().AppendColor(MakeColor(static_cast<std::uint8_t>(i), 0, 0));
  }
  document.AddFrame(std::move(frame));
  return result;
}

inline TGIFGraphicControlExtension& AddControl(TGIFSubImage& frame, std::uint16_t delay) {
  auto extension = std::make_unique<TGIFGraphicControlExtension>(frame);
  TGIFGraphicControlExtension& result = *extension;
  extension->SetDelayTime(delay);
  frame.FrameExtensions().Append(std::move(extension));
  return result;
}

inline TGIFAppExtNSLoop& AddLoop(TGIFSubImage& frame, std::uint16_t count) {
  auto extension = std::make_unique<TGIFAppExtNSLoop>(frame);
  TGIFAppExtNSLoop& result = *extension;
  extension->SetLoopCount(count);
  frame.FrameExtensions().Append(std::move(extension));
  return result;
}

// A GIF file decoded by giflib, an independent reader.
struct DecodedFrame {
  int left = 0, top = 0, width = 0, height = 0;
  bool interlaced = false;
  int colourCount = 0;  // local table size, 0 without
  Bytes pixels;         // rows top to bottom in picture order
};

struct DecodedGif {
  int error = 0;  // giflib error code, 0 on success
  int screenWidth = 0, screenHeight = 0;
  int globalColourCount = 0;
  std::vector<DecodedFrame> frames;
};

namespace detail {
struct MemoryReader {
  std::span<const std::uint8_t> data;
  std::size_t offset = 0;
};
inline int ReadFromMemory(GifFileType* file, GifByteType* buffer, int count) {
  auto* reader = static_cast<MemoryReader*>(file->UserData);
  const std::size_t left = reader->data.size() - reader->offset;
  const std::size_t n = std::min<std::size_t>(left, static_cast<std::size_t>(count));
  std::memcpy(buffer, reader->data.data() + reader->offset, n);
  reader->offset += n;
  return static_cast<int>(n);
}
}  // namespace detail

inline DecodedGif DecodeWithGiflib(std::span<const std::uint8_t> data) {
  DecodedGif result;
  detail::MemoryReader reader{data};
  int error = 0;
  GifFileType* file = DGifOpen(&reader, &detail::ReadFromMemory, &error);
  if (file == nullptr) {
    result.error = error ? error : -1;
    return result;
  }
  if (DGifSlurp(file) != GIF_OK) {
    result.error = file->Error ? file->Error : -1;
    DGifCloseFile(file, &error);
    return result;
  }
  result.screenWidth = file->SWidth;
  result.screenHeight = file->SHeight;
  result.globalColourCount = file->SColorMap ? file->SColorMap->ColorCount : 0;
  for (int i = 0; i < file->ImageCount; ++i) {
    const SavedImage& image = file->SavedImages[i];
    DecodedFrame frame;
    frame.left = image.ImageDesc.Left;
    frame.top = image.ImageDesc.Top;
    frame.width = image.ImageDesc.Width;
    frame.height = image.ImageDesc.Height;
    frame.interlaced = image.ImageDesc.Interlace;
    frame.colourCount = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap->ColorCount : 0;
    // giflib's slurp puts interlaced rows in their picture positions.
    frame.pixels.assign(image.RasterBits,
                        image.RasterBits + static_cast<std::size_t>(frame.width) * frame.height);
    result.frames.push_back(std::move(frame));
  }
  DGifCloseFile(file, &error);
  return result;
}

}  // namespace tovasel::testing
