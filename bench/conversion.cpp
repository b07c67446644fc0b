// Whole conversions of the real FLI animation a.fli (384 frames, 320 x 200):
// open with its frame cache, then the GIF document built and written, once
// without options and once with every option box ticked. Reports time per
// frame and the process's peak resident memory.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <filesystem>
#include <string>

#include "app/options_only_view.h"
#include "app/conversion_session.h"

namespace {

// Every box ticked, or none.
tovasel::TConvertOptions AllOptions(bool all) {
  tovasel::TConvertOptions options;
  options.Transparent = options.Palette = options.Merge = options.Crop = all;
  return options;
}

double PeakResidentMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

void BM_ConvertAFli(benchmark::State& state) {
  const std::filesystem::path source = std::filesystem::path(TOVASEL_SHARED_CORPUS) / "flic" / "a.fli";
  if (!std::filesystem::exists(source)) {
    state.SkipWithError("shared corpus not present");
    return;
  }
  const std::string output = (std::filesystem::temp_directory_path() / "tovasel-bench-a.gif").string();
  tovasel::TOptionsOnlyView view(AllOptions(state.range(0) != 0));
  int frames = 0;
  for (auto _ : state) {
    tovasel::TConversionSession session(view);
    session.OpenFlicFile(source.string());
    session.ConvertToGif(output);
    frames = session.FrameCache.Count();
  }
  std::filesystem::remove(output);
  state.counters["frames"] = frames;
  state.counters["time_per_frame"] =
      benchmark::Counter(static_cast<double>(frames) * state.iterations(),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["peak_MiB"] = PeakResidentMiB();
}

}  // namespace

BENCHMARK(BM_ConvertAFli)->ArgName("all_options")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
