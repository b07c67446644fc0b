// Speed of the whole-frame pixel loops of the colour-map packing and the
// frame compaction on 320 x 200 frames: flat areas (long runs of one index,
// the hard case for counting) and noise.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <numeric>
#include <random>
#include <vector>

#include "colour/colour_map_optimizer.h"
#include "colour/frame_passes.h"
#include "gif/gif_image.h"
#include "gif/sub_image.h"

namespace {

constexpr int Width = 320;
constexpr int Height = 200;

std::vector<std::uint8_t> Frame(bool flat) {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(Width) * Height);
  std::mt19937 random(1);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = flat ? static_cast<std::uint8_t>((i % Width) / 40 + (i / Width) / 50) : static_cast<std::uint8_t>(random());
  }
  return pixels;
}

void CountIndices(benchmark::State& state) {
  const std::vector<std::uint8_t> pixels = Frame(state.range(0) != 0);
  for (auto _ : state) {
    tovasel::TIndexCounts counts{};
    tovasel::CountIndices(pixels.data(), pixels.size(), counts);
    benchmark::DoNotOptimize(counts);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(pixels.size()));
}
BENCHMARK(CountIndices)->Arg(0)->Arg(1);

void TranslatePixels(benchmark::State& state) {
  std::vector<std::uint8_t> pixels = Frame(state.range(0) != 0);
  tovasel::TColorTranslation table;
  std::iota(table.rbegin(), table.rend(), std::uint8_t{0});
  for (auto _ : state) {
    tovasel::TranslatePixels(pixels.data(), pixels.size(), table);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(pixels.size()));
}
BENCHMARK(TranslatePixels)->Arg(0)->Arg(1);

// A frame on the global map merged against an identical predecessor: every
// pixel becomes transparent, so each run repeats the same work.
void MergeWithPrevious(benchmark::State& state) {
  tovasel::TGIFImage document;
  for (int i = 0; i < 255; ++i) document.GlobalColors().AppendColor(tovasel::MakeColor(i, i, i));
  const std::vector<std::uint8_t> pixels = Frame(state.range(0) != 0);
  tovasel::TGIFSubImage* frames[2];
  for (auto*& frame : frames) {
    auto created = std::make_unique<tovasel::TGIFSubImage>(document);
    created->Place(0, 0, Width, Height);
    frame = created.get();
    document.AddFrame(std::move(created));
  }
  for (auto _ : state) {
    state.PauseTiming();
    std::copy(pixels.begin(), pixels.end(), frames[0]->PixelData());
    std::copy(pixels.begin(), pixels.end(), frames[1]->PixelData());
    state.ResumeTiming();
    tovasel::MergeWithPrevious(*frames[1], frames[0]);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(pixels.size()));
}
BENCHMARK(MergeWithPrevious)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
