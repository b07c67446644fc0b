#pragma once

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
#include "support/giflib_reader.h"

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

}  // namespace tovasel::testing
