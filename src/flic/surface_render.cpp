#include "flic/surface_render.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "flic/flic_surface.h"

namespace tovasel {

void RenderSurface(const TFlicSurface& surface, TBitmap& out, bool stretch) {
  const int outW = out.Width();
  const int outH = out.Height();
  const int inW = surface.Width();
  const int inH = surface.Height();
  if (out.Empty()) return;
  const auto& colours = surface.ColorTable();

  // Source column of every output column, worked out once per call.
  std::vector<int> columns(static_cast<std::size_t>(outW));
  for (int x = 0; x < outW; ++x)
    columns[x] = stretch ? static_cast<int>(static_cast<long long>(x) * inW / outW) : (x < inW ? x : -1);

  for (int y = 0; y < outH; ++y) {
    std::uint8_t* dst = out.ScanLine(y);
    const int sy = stretch ? static_cast<int>(static_cast<long long>(y) * inH / outH) : y;
    if (inW <= 0 || sy >= inH) {
      std::memset(dst, 0, static_cast<std::size_t>(outW) * 3);
      continue;
    }
    const std::uint8_t* src = surface.PictureRow(sy);
    for (int x = 0; x < outW; ++x, dst += 3) {
      const int sx = columns[x];
      if (sx < 0) {
        dst[0] = dst[1] = dst[2] = 0;
        continue;
      }
      const TRGBQuad& c = colours[src[sx]];
      dst[0] = c.rgbBlue;
      dst[1] = c.rgbGreen;
      dst[2] = c.rgbRed;
    }
  }
}

}  // namespace tovasel
