// Decoding speed on realistic 320 x 200 animations made by our FLIC writer:
// a moving object over a detailed background (DELTA_FLC or DELTA_FLI per
// frame) and whole pictures (BYTE_RUN).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "flic/chunk_decoders.h"
#include "flic/flic_decoder.h"
#include "flicwriter/flic_writer.h"

namespace {

using namespace tovasel;
namespace fw = tovasel::flicwriter;

constexpr int kWidth = 320;
constexpr int kHeight = 200;
constexpr int kFrames = 30;

fw::TIndexedPicture Scene(int frame) {
  fw::TIndexedPicture p(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) p.At(x, y) = static_cast<std::uint8_t>(((x / 6) ^ (y / 5)) & 0x3F);
  const int cx = 30 + frame * 8;
  const int cy = 100 + (frame % 7) * 6 - 18;
  for (int y = cy - 25; y <= cy + 25; ++y)
    for (int x = cx - 25; x <= cx + 25; ++x)
      if (x >= 0 && y >= 0 && x < kWidth && y < kHeight && (x - cx) * (x - cx) + (y - cy) * (y - cy) < 625)
        p.At(x, y) = static_cast<std::uint8_t>(128 + ((x + y + frame) & 31));
  return p;
}

std::filesystem::path WriteAnimation(bool fli) {
  std::vector<fw::TAnimationFrame> frames;
  fw::TColours colours{};
  for (int i = 0; i < 256; ++i) colours[i] = fw::TRgb{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 128};
  for (int f = 0; f < kFrames; ++f) frames.push_back(fw::TAnimationFrame{Scene(f), colours, fw::TEncoding::enDelta});
  fw::TAnimationOptions options;
  options.FliDeltas = fli;
  const auto path = std::filesystem::temp_directory_path() / (fli ? "tovasel-bench.fli" : "tovasel-bench.flc");
  fw::WriteFile(path, fw::Serialize(fw::BuildAnimation(frames, options)));
  return path;
}

void StepAnimation(benchmark::State& state, bool fli) {
  const auto path = WriteAnimation(fli);
  TFlicDecoder decoder;
  if (!decoder.Open(path)) {
    state.SkipWithError("cannot open the animation");
    return;
  }
  for (auto _ : state) {
    decoder.NextFrame();
    benchmark::DoNotOptimize(decoder.Surface().PictureRow(0));
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * kWidth * kHeight);
  decoder.Close();
  std::filesystem::remove(path);
}

void BM_DeltaFlcFrames(benchmark::State& state) { StepAnimation(state, false); }
void BM_DeltaFliFrames(benchmark::State& state) { StepAnimation(state, true); }

void BM_ByteRunPicture(benchmark::State& state) {
  const auto payload = fw::ByteRunPayload(Scene(3));
  TFlicSurface surface(kWidth, kHeight);
  for (auto _ : state) {
    DecodeByteRun(payload, surface);
    benchmark::DoNotOptimize(surface.PictureRow(0));
  }
  state.SetBytesProcessed(state.iterations() * kWidth * kHeight);
}

void BM_CopyToBitmap(benchmark::State& state) {
  TFlicSurface surface(kWidth, kHeight);
  TBitmap bitmap;
  for (auto _ : state) {
    surface.CopyToBitmap(bitmap);
    benchmark::DoNotOptimize(bitmap.ScanLine(0));
  }
  state.SetBytesProcessed(state.iterations() * kWidth * kHeight);
}

BENCHMARK(BM_DeltaFlcFrames);
BENCHMARK(BM_DeltaFliFrames);
BENCHMARK(BM_ByteRunPicture);
BENCHMARK(BM_CopyToBitmap);

}  // namespace

BENCHMARK_MAIN();
