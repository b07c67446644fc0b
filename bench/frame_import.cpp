// The default import of one 320 x 200 frame (reduction to the 6x6x6 cube
// without dithering, local colour map of 256 entries), per frame.

#include <benchmark/benchmark.h>

#include "colour/bitmap_import.h"
#include "gif/gif_image.h"
#include "imaging/bitmap.h"

namespace {

tovasel::TBitmap MakeFrame() {
  tovasel::TBitmap bitmap(320, 200, tovasel::TPixelFormat::pfDevice);
  for (int y = 0; y < 200; ++y) {
    std::uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < 320; ++x) {
      row[3 * x] = static_cast<std::uint8_t>(x * 3 + y);
      row[3 * x + 1] = static_cast<std::uint8_t>(y * 5);
      row[3 * x + 2] = static_cast<std::uint8_t>((x ^ y) * 7);
    }
  }
  return bitmap;
}

void BM_DefaultFrameImport(benchmark::State& state) {
  const tovasel::TBitmap frame = MakeFrame();
  for (auto _ : state) {
    tovasel::TGIFImage document;
    benchmark::DoNotOptimize(AddFrame(document, frame));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DefaultFrameImport)->Unit(benchmark::kMicrosecond);

void BM_DitheredOctreeImport(benchmark::State& state) {
  const tovasel::TBitmap frame = MakeFrame();
  for (auto _ : state) {
    tovasel::TGIFImage document;
    document.SetReductionScheme(tovasel::rsOctree);
    document.SetDitherKind(tovasel::dkFloydSteinberg);
    benchmark::DoNotOptimize(AddFrame(document, frame));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DitheredOctreeImport)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
