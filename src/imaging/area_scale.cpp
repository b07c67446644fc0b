#include "imaging/area_scale.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace tovasel {
namespace {

// Which source pixels make output pixel o along one axis, and how much of
// each. With the source n pixels long and the output m, source pixel i
// spans [i*m, (i+1)*m) and output pixel o spans [o*n, (o+1)*n) on a common
// scale n*m long, so every overlap is a whole number and the weights of one
// output pixel add up to n exactly.
struct TAxisWeights {
  std::vector<int> First;                // first source pixel of each output pixel
  std::vector<int> Count;                // how many source pixels it takes
  std::vector<std::int64_t> Offset;      // where its weights start in Weights
  std::vector<std::uint32_t> Weights;
};

TAxisWeights WeightsFor(int n, int m) {
  TAxisWeights axis;
  axis.First.resize(static_cast<std::size_t>(m));
  axis.Count.resize(static_cast<std::size_t>(m));
  axis.Offset.resize(static_cast<std::size_t>(m));
  for (int o = 0; o < m; ++o) {
    const std::int64_t begin = std::int64_t{o} * n;
    const std::int64_t end = begin + n;
    const int first = static_cast<int>(begin / m);
    const int last = static_cast<int>((end - 1) / m);
    axis.First[o] = first;
    axis.Count[o] = last - first + 1;
    axis.Offset[o] = static_cast<std::int64_t>(axis.Weights.size());
    for (int i = first; i <= last; ++i) {
      const std::int64_t overlap = std::min<std::int64_t>((std::int64_t{i} + 1) * m, end) -
                                   std::max<std::int64_t>(std::int64_t{i} * m, begin);
      axis.Weights.push_back(static_cast<std::uint32_t>(overlap));
    }
  }
  return axis;
}

}  // namespace

TPictureSize FitInside(int width, int height, int side) {
  if (width <= side && height <= side) return {width, height};
  // Rounded to nearest in 64 bits: width * side cannot overflow there.
  const auto scaled = [side](int length, int longest) {
    return std::max(1, static_cast<int>((std::int64_t{length} * side * 2 + longest) / (std::int64_t{longest} * 2)));
  };
  if (width >= height) return {side, scaled(height, width)};
  return {scaled(width, height), side};
}

TBitmap ScaleDown(const TBitmap& source, TPictureSize size) {
  if (source.PixelFormat() != TPixelFormat::pf24bit || size.Width < 1 || size.Height < 1 ||
      size.Width > source.Width() || size.Height > source.Height()) {
    throw std::invalid_argument("ScaleDown takes a 24-bit bitmap and a smaller size");
  }
  const int n = source.Width();
  const TAxisWeights across = WeightsFor(n, size.Width);
  const TAxisWeights down = WeightsFor(source.Height(), size.Height);
  // Each output pixel sums at most 255 * width * height: 64 bits hold it.
  const std::uint64_t divisor = std::uint64_t(n) * std::uint64_t(source.Height());
  TBitmap out(size.Width, size.Height);
  const std::size_t channels = static_cast<std::size_t>(size.Width) * 3;
  std::vector<std::uint32_t> rowSums(channels);
  std::vector<std::uint64_t> sums(channels);
  for (int r = 0; r < size.Height; ++r) {
    std::fill(sums.begin(), sums.end(), 0);
    for (int k = 0; k < down.Count[r]; ++k) {
      const std::uint8_t* row = source.ScanLine(down.First[r] + k);
      const std::uint64_t rowWeight = down.Weights[static_cast<std::size_t>(down.Offset[r] + k)];
      // One source row across the output columns; at most 255 * width.
      for (int o = 0; o < size.Width; ++o) {
        std::uint32_t blue = 0, green = 0, red = 0;
        const std::uint32_t* weight = &across.Weights[static_cast<std::size_t>(across.Offset[o])];
        const std::uint8_t* pixel = row + static_cast<std::size_t>(across.First[o]) * 3;
        for (int i = 0; i < across.Count[o]; ++i, pixel += 3) {
          blue += pixel[0] * weight[i];
          green += pixel[1] * weight[i];
          red += pixel[2] * weight[i];
        }
        rowSums[o * 3] = blue;
        rowSums[o * 3 + 1] = green;
        rowSums[o * 3 + 2] = red;
      }
      for (std::size_t c = 0; c < channels; ++c) sums[c] += rowSums[c] * rowWeight;
    }
    std::uint8_t* target = out.ScanLine(r);
    for (std::size_t c = 0; c < channels; ++c) {
      target[c] = static_cast<std::uint8_t>((sums[c] + divisor / 2) / divisor);
    }
  }
  return out;
}

}  // namespace tovasel
