// Converts a FLIC file made of the fuzzer's bytes all the way to a GIF file:
// open with the frame cache, import, colour-map packing, frame compaction
// and the writer, with the option boxes taken from the input's last byte.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <span>
#include <string>

#include "app/options_only_view.h"
#include "app/conversion_session.h"

namespace {

// Small pictures and few frames keep every run fast: the passes after each
// frame make a conversion quadratic in its frame count. The session gets a
// budget far below the program's, so that a header claiming tens of
// thousands of frames is refused as it would be at full size, instead of
// being captured for seconds.
constexpr std::uint64_t kMaxFuzzPixels = std::uint64_t{1} << 14;
constexpr int kMaxFrames = 12;
constexpr std::int64_t kFuzzBudget = std::int64_t{1} << 22;

std::string TempPath(const char* suffix) {
  return (std::filesystem::temp_directory_path() /
          ("tovasel-fuzz-gif-" + std::to_string(::getpid()) + suffix))
      .string();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 12) return 0;
  const std::uint64_t width = data[8] | (data[9] << 8);
  const std::uint64_t height = data[10] | (data[11] << 8);
  if (width * height > kMaxFuzzPixels) return 0;
  static const std::string output = TempPath(".gif");
  const std::uint8_t choice = data[size - 1];
  tovasel::TConvertOptions options;
  options.Transparent = (choice & 1) != 0;
  options.Palette = (choice & 2) != 0;
  options.Merge = (choice & 4) != 0;
  options.Crop = (choice & 8) != 0;
  options.ExactColours = (choice & 16) != 0;
  options.ExactTiming = (choice & 32) != 0;
  options.LimitOn = true;
  options.LimitText = std::to_string((choice >> 6) + kMaxFrames - 4);
  tovasel::TOptionsOnlyView view(options);
  tovasel::TConversionSession session(view, {.FrameBudget = kFuzzBudget, .MaxFramePixels = kMaxFuzzPixels});
  try {
    session.OpenFlicBytes(std::span<const std::uint8_t>(data, size), "input.flc");
    if (session.FrameCache.Count() == 0) return 0;
    session.ConvertToGif(output);
  } catch (const std::exception&) {
    // Errors are reported to the user; only crashes and hangs are faults.
  }
  return 0;
}
