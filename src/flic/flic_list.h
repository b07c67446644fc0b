#pragma once

#include <cstdint>
#include <vector>

#include "imaging/bitmap.h"

namespace tovasel {

class TOutputWindow;
class TScreenCapture;

// Frames with a mask colour, drawn over a captured copy of the screen, so
// that the pixels of the mask colour show what lay under the output window.
// All pictures are 24-bit; positions are in the output window's coordinates,
// which are also the captured background's.
class TFlicList {
 public:
  // `capture` is not owned and may be null (no background can be captured).
  explicit TFlicList(TScreenCapture* capture) : capture_(capture) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Values <= 0 are ignored; a new size empties the work bitmap.
  void SetWidth(int width);
  void SetHeight(int height);
  int AllocBy() const { return allocBy_; }
  // How many frames to make room for at once; values <= 0 are ignored.
  void SetAllocBy(int count);
  // True (the default): capture the window's outer rectangle; false: its
  // client area.
  bool WindowRect() const { return windowRect_; }
  void SetWindowRect(bool on) { windowRect_ = on; }

  int Count() const { return count_; }
  bool Captured() const { return captured_; }
  const TBitmap& Background() const { return background_; }

  // Copies the screen under `window` (the whole screen for null) as the
  // background. False, with the old background kept, when it cannot.
  bool CaptureBackground(const TOutputWindow* window);

  // Composes frame `index` (from 1) over the background area at (x, y) and
  // draws the result at (x, y). Nothing for a null target or an index
  // outside 1 .. Count(). Background outside the captured area is black.
  void DrawTransparent(int index, TOutputWindow* target, int y, int x);
  // Puts the background area at (x, y) back onto the target.
  void RestoreBackground(TOutputWindow* target, int x, int y);

  // Adds a copy of the top-left Width() x Height() area of `bitmap`; its
  // pixels of `maskColour` (red in the low byte) are not drawn.
  void StoreFrame(const TBitmap& bitmap, std::uint32_t maskColour);
  void ClearFrames();

 private:
  void CopyBackground(int x, int y);
  void SizeWork();

  TScreenCapture* capture_;
  TBitmap background_;
  bool captured_ = false;
  TBitmap work_;
  int count_ = 0;
  std::vector<TBitmap> images_;
  bool windowRect_ = true;
  int width_ = 0;
  int height_ = 0;
  int allocBy_ = 4;
};

}  // namespace tovasel
