#include "flic/display_caches.h"

#include "flic/output_window.h"
#include "flic/surface_render.h"

namespace tovasel {

bool TDisplayCaches::Create(int width, int height, int frameCount, bool preRender, bool transparent,
                            bool windowRect, TScreenCapture* capture, std::size_t maxBytes) {
  Free();
  if (!preRender && !transparent) return false;
  if (width <= 0 || height <= 0 || frameCount < 0) return false;
  // Every cached frame, the frame bitmap, and the list's background and work
  // bitmap, at 3 bytes a pixel plus row padding.
  const std::size_t frameBytes =
      ((static_cast<std::size_t>(width) * 3 + 3) / 4 * 4) * static_cast<std::size_t>(height);
  const std::size_t frames = (preRender ? static_cast<std::size_t>(frameCount) : 1) + 3;
  if (frameBytes > maxBytes / frames) return false;

  frameBitmap_.SetSize(width, height);
  if (transparent) {
    flicList_ = std::make_unique<TFlicList>(capture);
    flicList_->SetAllocBy(frameCount);
    flicList_->SetWindowRect(windowRect);
    flicList_->SetWidth(width);
    flicList_->SetHeight(height);
  } else {
    preRenderList_.reserve(static_cast<std::size_t>(frameCount));
  }
  preRender_ = preRender;
  exist_ = true;
  return true;
}

void TDisplayCaches::Free() {
  exist_ = false;
  preRender_ = false;
  frameBitmap_ = TBitmap();
  std::vector<TBitmap>().swap(preRenderList_);
  flicList_.reset();
}

void TDisplayCaches::AddFrame(const TFlicSurface& surface, bool stretch, std::uint32_t maskColour) {
  if (!exist_) return;
  RenderSurface(surface, frameBitmap_, stretch);
  if (flicList_) {
    flicList_->StoreFrame(frameBitmap_, maskColour);
  } else {
    preRenderList_.push_back(frameBitmap_);
  }
}

void TDisplayCaches::CaptureBackground(const TOutputWindow* window) {
  if (flicList_) flicList_->CaptureBackground(window);
}

void TDisplayCaches::DrawCached(int frame, TOutputWindow* target, int left, int top, bool wholeWindow) {
  if (!target) return;
  if (flicList_) {
    flicList_->DrawTransparent(frame, target, top, left);
  } else if (frame >= 1 && static_cast<std::size_t>(frame) <= preRenderList_.size()) {
    target->DrawBitmap(preRenderList_[static_cast<std::size_t>(frame - 1)], left, top, wholeWindow);
  }
}

void TDisplayCaches::DrawTransparent(const TFlicSurface& surface, bool stretch, std::uint32_t maskColour,
                                     TOutputWindow* target, int left, int top) {
  if (!flicList_ || !target) return;
  RenderSurface(surface, frameBitmap_, stretch);
  flicList_->ClearFrames();
  flicList_->StoreFrame(frameBitmap_, maskColour);
  flicList_->DrawTransparent(1, target, top, left);
}

void TDisplayCaches::RestoreBackground(TOutputWindow* target, int left, int top) {
  if (flicList_) flicList_->RestoreBackground(target, left, top);
}

}  // namespace tovasel
