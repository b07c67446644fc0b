#include "flic/surface_render.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "flic/flic_surface.h"
#include "imaging/pixel_conversion.h"

namespace tovasel {

void RenderSurface(const TFlicSurface& surface, TBitmap& out, bool stretch) {
  const int outW = out.Width();
  const int outH = out.Height();
  const int inW = surface.Width();
  const int inH = surface.Height();
  if (out.Empty()) return;
  const TIndexedRowExpander expander(surface.ColorTable());
  const std::size_t rowBytes = static_cast<std::size_t>(outW) * 3;

  // A stretched row is gathered into one row of indices first, through the
  // source column of every output column, worked out once per call.
  std::vector<int> columns;
  std::vector<std::uint8_t> gathered;
  if (stretch) {
    columns.resize(static_cast<std::size_t>(outW));
    gathered.resize(static_cast<std::size_t>(outW));
    for (int x = 0; x < outW; ++x) columns[x] = static_cast<int>(static_cast<long long>(x) * inW / outW);
  }
  // Unstretched, the picture's columns past the display's are cut off and
  // the display's columns past the picture's stay black.
  const int copied = std::min(outW, inW);

  for (int y = 0; y < outH; ++y) {
    std::uint8_t* dst = out.ScanLine(y);
    const int sy = stretch ? static_cast<int>(static_cast<long long>(y) * inH / outH) : y;
    if (inW <= 0 || sy >= inH) {
      std::memset(dst, 0, rowBytes);
      continue;
    }
    const std::uint8_t* src = surface.PictureRow(sy);
    if (stretch) {
      for (int x = 0; x < outW; ++x) gathered[x] = src[columns[x]];
      expander.Expand(gathered.data(), outW, dst);
    } else {
      expander.Expand(src, copied, dst);
      std::memset(dst + static_cast<std::size_t>(copied) * 3, 0, rowBytes - static_cast<std::size_t>(copied) * 3);
    }
  }
}

}  // namespace tovasel
