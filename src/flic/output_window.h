#pragma once

namespace tovasel {

class TBitmap;
class TFlicSurface;

// A rectangle in window coordinates; Right and Bottom are exclusive.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

// The window the player paints into. The player knows no windowing system;
// a window toolkit (or a test) implements this.
class TOutputWindow {
 public:
  virtual ~TOutputWindow() = default;

  // Copies the area `source` of the surface (in picture coordinates, top
  // row 0), with the surface's colours, to `dest`, stretching when the sizes
  // differ. `wholeWindow` asks for the window's outer area as the drawing
  // target rather than its client area.
  virtual void DrawFrame(const TFlicSurface& surface, const TRect& source, const TRect& dest,
                         bool wholeWindow) = 0;

  // Marks an area for repainting, without erasing, and repaints it at once.
  virtual void Invalidate(const TRect& area) = 0;

  // Copies a 24-bit bitmap one to one with its top-left corner at (x, y):
  // the frames the player renders ahead of time and the frames it composes
  // over a captured background. A window that never shows those may keep
  // this default, which draws nothing.
  virtual void DrawBitmap(const TBitmap& bitmap, int x, int y, bool wholeWindow) {
    (void)bitmap;
    (void)x;
    (void)y;
    (void)wholeWindow;
  }
};

}  // namespace tovasel
