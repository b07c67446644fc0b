#pragma once

namespace tovasel {

class TBitmap;
class TOutputWindow;

// Copies what the screen shows, for drawing frames transparently over it.
// The window toolkit supplies it.
class TScreenCapture {
 public:
  virtual ~TScreenCapture() = default;
  // Fills `out` with a 24-bit copy of the screen under `window`: its outer
  // rectangle when `wholeWindow`, otherwise its client area; the whole
  // screen when `window` is null. False when there is no display to copy
  // from or the window's rectangle cannot be had; `out` is then unchanged.
  virtual bool CaptureScreen(const TOutputWindow* window, bool wholeWindow, TBitmap& out) = 0;
};

}  // namespace tovasel
