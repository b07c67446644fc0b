#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "flic/flic_list.h"
#include "imaging/bitmap.h"

namespace tovasel {

class TFlicSurface;
class TOutputWindow;
class TScreenCapture;

// What the player draws from when PreRender or Transparent was set at Open:
// the frame bitmap of the display size, and either the list of frames
// rendered ahead or, with Transparent, a flic list over a captured
// background. All 24-bit.
class TDisplayCaches {
 public:
  // Builds empty caches for a display of width x height; false, with nothing
  // built, for an empty display or caches of more than maxBytes (the player
  // then decodes and paints every frame as it would without PreRender and
  // Transparent). `capture` is not owned.
  bool Create(int width, int height, int frameCount, bool preRender, bool transparent, bool windowRect,
              TScreenCapture* capture, std::size_t maxBytes);
  void Free();

  bool Exist() const { return exist_; }
  // Every frame was rendered at Open; steps only draw.
  bool PreRendered() const { return exist_ && preRender_; }
  bool Transparent() const { return flicList_ != nullptr; }

  // Renders the surface into the frame bitmap (stretched to the display size
  // or copied one to one) and appends it as the next cached frame.
  void AddFrame(const TFlicSurface& surface, bool stretch, std::uint32_t maskColour);
  void CaptureBackground(const TOutputWindow* window);
  // Draws cached frame `frame` (from 1); nothing for a frame not cached.
  void DrawCached(int frame, TOutputWindow* target, int left, int top, bool wholeWindow);
  // Renders the surface and draws it over the background.
  void DrawTransparent(const TFlicSurface& surface, bool stretch, std::uint32_t maskColour, TOutputWindow* target,
                       int left, int top);
  void RestoreBackground(TOutputWindow* target, int left, int top);

  const TBitmap& FrameBitmapCache() const { return frameBitmap_; }
  const std::vector<TBitmap>& PreRenderList() const { return preRenderList_; }
  const TFlicList* FlicList() const { return flicList_.get(); }

 private:
  bool exist_ = false;
  bool preRender_ = false;
  TBitmap frameBitmap_;
  std::vector<TBitmap> preRenderList_;
  std::unique_ptr<TFlicList> flicList_;
};

}  // namespace tovasel
