#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "colour/bitmap_import.h"
#include "colour/colour_map_optimizer.h"
#include "colour/frame_optimizer.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "gif/sub_image.h"
#include "imaging/bitmap.h"

namespace tovasel::testing {

struct Rgb {
  std::uint8_t r, g, b;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A 24-bit bitmap whose pixel (x, y) is colour(x, y).
template <class Fn>
TBitmap MakeBitmap(int width, int height, Fn colour, TPixelFormat format = TPixelFormat::pf24bit) {
  TBitmap bitmap(width, height, format);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      const Rgb c = colour(x, y);
      row[3 * x] = c.b;
      row[3 * x + 1] = c.g;
      row[3 * x + 2] = c.r;
    }
  }
  return bitmap;
}

inline Rgb PixelOf(const TBitmap& bitmap, int x, int y) {
  const std::uint8_t* p = bitmap.ScanLine(y) + 3 * x;
  return {p[2], p[1], p[0]};
}

// The colour an 8-bit bitmap shows at (x, y).
inline Rgb IndexedPixelOf(const TBitmap& bitmap, int x, int y) {
  const TRGBQuad& q = bitmap.ColorTable().at(bitmap.ScanLine(y)[x]);
  return {q.rgbRed, q.rgbGreen, q.rgbBlue};
}

// Random image of at most `colours` distinct colours.
inline TBitmap RandomBitmap(int width, int height, int colours, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<Rgb> palette(static_cast<std::size_t>(colours));
  for (auto& c : palette) {
    c = {static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng())};
  }
  return MakeBitmap(width, height, [&](int, int) { return palette[rng() % palette.size()]; });
}

// A frame built by hand: size, local colours (may be empty), pixels.
inline TGIFSubImage& AddHandFrame(TGIFImage& document, int left, int top, int width, int height,
                                  const std::vector<TColor>& local, const std::vector<std::uint8_t>& pixels) {
  auto frame = std::make_unique<TGIFSubImage>(document);
  frame->Place(left, top, width, height);
  for (TColor c : local) frame->LocalColors().AppendColor(c);
  std::copy(pixels.begin(), pixels.end(), frame->PixelData());
  TGIFSubImage& ref = *frame;
  document.AddFrame(std::move(frame));
  return ref;
}

inline TGIFGraphicControlExtension& AddControl(TGIFSubImage& frame) {
  auto control = std::make_unique<TGIFGraphicControlExtension>(frame);
  TGIFGraphicControlExtension& ref = *control;
  frame.FrameExtensions().Append(std::move(control));
  return ref;
}

inline TGIFGraphicControlExtension& MakeTransparent(TGIFSubImage& frame, int index) {
  TGIFGraphicControlExtension& control =
      frame.ControlExtension() != nullptr ? *frame.ControlExtension() : AddControl(frame);
  control.SetIsTransparent(true);
  control.SetTransparentIndex(index);
  return control;
}

inline std::vector<std::uint8_t> PixelsOf(const TGIFSubImage& frame) {
  if (frame.IsBlank()) return {};
  return {frame.PixelData(), frame.PixelData() + frame.PixelDataSize()};
}

inline std::vector<TColor> ColoursOf(const TGIFColorMap& map) {
  std::vector<TColor> out;
  for (const TGIFColor& c : map.Entries()) out.push_back(c.Value());
  return out;
}

}  // namespace tovasel::testing
