// The conversion speed table: for each option set, a.fli converted whole,
// its first 96 and 192 frames, and two generated 320 x 200 animations of
// 384 and 1,536 frames, each conversion in a child process so that its peak
// memory is its own. Each time is the best of five runs, FFmpeg's too.
// When ffmpeg is on the PATH it converts a.fli in the same run and the
// table gives the ratios.
//
//   bench_conversion_table [--window] [--skip-long]
//   bench_conversion_table --make-animations FOLDER
//
// By default a conversion is what `tovasel-cli convert` does: the frames go
// from the decoder into the conversion. --window converts as the window does
// instead: every frame captured into the frame cache first, then converted
// from it. A last table converts a 9,000-frame animation with every option
// set both ways, for the memory each holds. --make-animations only writes
// the two generated animations into FOLDER, for profiling.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/options_only_view.h"
#include "app/conversion_session.h"
#include "app/gif_conversion.h"
#include "flicwriter/cartoon.h"
#include "flicwriter/flic_writer.h"
#include "gif/gif_image.h"

namespace {

namespace fs = std::filesystem;
namespace fw = tovasel::flicwriter;

struct TRun {
  double Seconds = -1;
  double PeakMiB = 0;
};

// Runs work in a child process: wall time and the child's peak resident set.
TRun InChildOnce(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    try {
      work();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "error: %s\n", e.what());
      _exit(1);
    }
    _exit(0);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return {};
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  return {elapsed.count(), static_cast<double>(usage.ru_maxrss) / 1024.0};
}

// The fastest of five runs: the others were slowed by something else.
TRun InChild(const std::function<void()>& work) {
  TRun best = InChildOnce(work);
  for (int i = 0; i < 4 && best.Seconds >= 0; ++i) {
    const TRun run = InChildOnce(work);
    if (run.Seconds < 0) return run;
    if (run.Seconds < best.Seconds) best.Seconds = run.Seconds;
    best.PeakMiB = std::max(best.PeakMiB, run.PeakMiB);
  }
  return best;
}

enum class TPath { CommandLine, Window };

TRun Convert(const fs::path& source, tovasel::TConvertOptions options, TPath path, const fs::path& output) {
  return InChild([&] {
    tovasel::TOptionsOnlyView view(options);
    tovasel::TConversionSession session(view);
    if (path == TPath::CommandLine) {
      session.ConvertFile(source.string(), output.string());
      return;
    }
    session.OpenForConversion(source.string());
    session.ConvertToGif(output.string());
  });
}

TRun Ffmpeg(const fs::path& source, const fs::path& output) {
  return InChild([&] {
    execlp("ffmpeg", "ffmpeg", "-v", "error", "-y", "-i", source.c_str(), output.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  });
}

bool OnPath(const char* program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::string paths = path;
  std::size_t start = 0;
  while (start <= paths.size()) {
    const std::size_t end = std::min(paths.find(':', start), paths.size());
    if (fs::exists(fs::path(paths.substr(start, end - start)) / program)) return true;
    start = end + 1;
  }
  return false;
}

fs::path MakeAnimation(int frames, const fs::path& folder) {
  const fs::path path = folder / ("moving-" + std::to_string(frames) + ".flc");
  fw::WriteFile(path, fw::Serialize(fw::BuildAnimation(fw::Cartoon(frames), {})));
  return path;
}

// 9,000 frames (ten minutes at 15 frames a second) playing a 100-frame
// cycle of the moving blocks, written without holding the frames.
constexpr int kLongFrames = 9000;

fs::path MakeLongAnimation(const fs::path& folder) {
  const fs::path path = folder / ("moving-" + std::to_string(kLongFrames) + ".flc");
  fw::WriteFile(path, fw::Serialize(fw::BuildLoopedAnimation(fw::Cartoon(100), kLongFrames, {})));
  return path;
}

struct TOptionSet {
  const char* Name;
  tovasel::TConvertOptions Options;
};

std::vector<TOptionSet> OptionSets() {
  std::vector<TOptionSet> sets;
  const auto add = [&sets](const char* name, auto&& change) {
    tovasel::TConvertOptions o;
    change(o);
    sets.push_back({name, o});
  };
  add("no option", [](auto&) {});
  add("--transparent", [](auto& o) { o.Transparent = true; });
  add("--exact-colours", [](auto& o) { o.ExactColours = true; });
  add("--exact-timing", [](auto& o) { o.ExactTiming = true; });
  add("--palette", [](auto& o) { o.Palette = true; });
  add("--merge", [](auto& o) { o.Merge = true; });
  add("--crop", [](auto& o) { o.Crop = true; });
  add("all four", [](auto& o) { o.Transparent = o.Palette = o.Merge = o.Crop = true; });
  add("--optimize", [](auto& o) { o.Optimize = 1; });
  add("--optimize=2", [](auto& o) { o.Optimize = 2; });
  return sets;
}

tovasel::TConvertOptions WithLimit(tovasel::TConvertOptions o, int last) {
  o.LimitOn = true;
  o.LimitText = std::to_string(last);
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  TPath path = TPath::CommandLine;
  bool skipLong = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::printf("usage: bench_conversion_table [--window] [--skip-long]\n"
                  "       bench_conversion_table --make-animations FOLDER\n"
                  "Times and peak memory of every option set's conversion, against FFmpeg when it is installed.\n");
      return 0;
    }
    if (std::strcmp(argv[i], "--make-animations") == 0 && i + 1 < argc && argv[i + 1][0] != '-') {
      MakeAnimation(384, argv[i + 1]);
      MakeAnimation(1536, argv[i + 1]);
      return 0;
    }
    if (std::strcmp(argv[i], "--window") == 0 && path == TPath::CommandLine) path = TPath::Window;
    if (std::strcmp(argv[i], "--skip-long") == 0) skipLong = true;
  }
  const fs::path source = fs::path(TOVASEL_SHARED_CORPUS) / "flic" / "a.fli";
  if (!fs::exists(source)) {
    std::fprintf(stderr, "shared corpus not present\n");
    return 1;
  }
  const fs::path folder = fs::temp_directory_path() / ("tovasel-bench-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path output = folder / "out.gif";
  // Made in child processes: a child's peak memory counts the pages it
  // shares with this one, so this process stays small.
  const fs::path short384 = folder / "moving-384.flc";
  const fs::path long1536 = skipLong ? fs::path() : folder / "moving-1536.flc";
  InChildOnce([&] { MakeAnimation(384, folder); });
  if (!skipLong) InChildOnce([&] { MakeAnimation(1536, folder); });
  const fs::path longFile = skipLong ? fs::path() : folder / ("moving-" + std::to_string(kLongFrames) + ".flc");
  if (!skipLong) InChildOnce([&] { MakeLongAnimation(folder); });

  TRun ffmpeg;
  if (OnPath("ffmpeg")) ffmpeg = Ffmpeg(source, folder / "ffmpeg.gif");
  if (ffmpeg.Seconds >= 0) {
    std::printf("ffmpeg -i a.fli a.gif: %.2f s, %.0f MiB\n", ffmpeg.Seconds, ffmpeg.PeakMiB);
  } else {
    std::printf("ffmpeg not run (not on the PATH)\n");
  }
  const char* const paths[] = {"as tovasel-cli convert (from the decoder)",
                               "as the window (frame cache first, then from it)"};
  std::printf("conversion: %s\n\n", paths[static_cast<int>(path)]);
  std::printf("%-16s %8s %8s %8s %8s %10s %10s\n", "options", "a.fli s", "MiB", "x ffmpeg", "MiB x ff",
              "192/96", "1536/384");
  for (const TOptionSet& set : OptionSets()) {
    const TRun whole = Convert(source, set.Options, path, output);
    const TRun first96 = Convert(source, WithLimit(set.Options, 95), path, output);
    const TRun first192 = Convert(source, WithLimit(set.Options, 191), path, output);
    const TRun frames384 = Convert(short384, set.Options, path, output);
    const TRun frames1536 = skipLong ? TRun{} : Convert(long1536, set.Options, path, output);
    const double timeRatio = ffmpeg.Seconds > 0 ? whole.Seconds / ffmpeg.Seconds : 0;
    const double memoryRatio = ffmpeg.PeakMiB > 0 ? whole.PeakMiB / ffmpeg.PeakMiB : 0;
    const double growth = first96.Seconds > 0 ? first192.Seconds / first96.Seconds : 0;
    const double longGrowth = frames384.Seconds > 0 && frames1536.Seconds > 0 ? frames1536.Seconds / frames384.Seconds : 0;
    std::printf("%-16s %8.2f %8.0f %8.2f %8.2f %10.2f %10.2f\n", set.Name, whole.Seconds, whole.PeakMiB, timeRatio,
                memoryRatio, growth, longGrowth);
    std::fflush(stdout);
  }
  if (!skipLong) {
    // What each option set holds: the command line's conversion from the
    // decoder, and what the window's conversion adds to its frame cache.
    std::printf("\n%d frames of 320 x 200 (a 100-frame cycle), one run each:\n", kLongFrames);
    std::printf("%-16s %10s %10s %14s %14s\n", "options", "command s", "MiB", "window s", "MiB over cache");
    const TRun cacheOnly = InChildOnce([&] {
      tovasel::TOptionsOnlyView view;
      tovasel::TConversionSession session(view);
      session.OpenForConversion(longFile.string());
    });
    for (const TOptionSet& set : OptionSets()) {
      const TRun command = InChildOnce([&] {
        tovasel::TOptionsOnlyView view(set.Options);
        tovasel::TConversionSession session(view);
        session.ConvertFile(longFile.string(), output.string());
      });
      const TRun window = InChildOnce([&] {
        tovasel::TOptionsOnlyView view(set.Options);
        tovasel::TConversionSession session(view);
        session.OpenForConversion(longFile.string());
        session.ConvertToGif(output.string());
      });
      std::printf("%-16s %10.2f %10.0f %14.2f %14.0f\n", set.Name, command.Seconds, command.PeakMiB,
                  window.Seconds - cacheOnly.Seconds, window.PeakMiB - cacheOnly.PeakMiB);
      std::fflush(stdout);
    }
    std::printf("(the window's frame cache alone: %.2f s, %.0f MiB)\n", cacheOnly.Seconds, cacheOnly.PeakMiB);
  }
  std::error_code ec;
  fs::remove_all(folder, ec);
  return 0;
}
