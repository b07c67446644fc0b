#pragma once

namespace tovasel {

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
};

}  // namespace tovasel
