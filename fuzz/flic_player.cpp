// Opens a FLIC file made of the fuzzer's bytes through the player's real
// file path and steps through every frame and past the wrap. A decoder given
// the same bytes in memory must show the same pictures and errors, and a
// thumbnail's open of frame 1 alone the same first picture.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "flic/flic_decoder.h"
#include "flic/flic_player.h"
#include "imaging/bitmap.h"

namespace {

// Smaller pictures than the program accepts keep every run fast; the
// decoders' bounds do not depend on the size. The steps are held to a small
// budget of frame pixels, as a caller holding frames would be: each step's
// decoding work is bounded by its pixels, so the whole run is too.
constexpr std::uint64_t kMaxFuzzPixels = std::uint64_t{1} << 18;
constexpr std::uint64_t kFuzzBudget = std::uint64_t{1} << 22;
constexpr int kMaxSteps = 2000;

const std::string& TempPath() {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("tovasel-fuzz-flic-" + std::to_string(::getpid()) + ".flc")).string();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size >= 12) {
    const std::uint64_t width = data[8] | (data[9] << 8);
    const std::uint64_t height = data[10] | (data[11] << 8);
    if (width * height > kMaxFuzzPixels) return 0;
  }
  {
    std::ofstream out(TempPath(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  tovasel::TFlicPlayer32 player;
  player.FileName = TempPath();
  player.Open();
  tovasel::TFlicDecoder decoder;
  if (decoder.Open(std::vector<std::uint8_t>(data, data + size), "input") != player.IsOpen()) std::abort();
  tovasel::TFlicDecoder thumbnail;
  if (thumbnail.OpenFirstFrame(TempPath()) != player.IsOpen()) std::abort();
  if (!player.IsOpen()) return 0;
  {
    tovasel::TBitmap first;
    player.Surface().CopyToBitmap(first);
    tovasel::TBitmap firstAlone;
    thumbnail.Surface().CopyToBitmap(firstAlone);
    if (!(first == firstAlone)) std::abort();
  }
  const std::uint64_t pixels =
      std::uint64_t(player.Surface().Width()) * static_cast<std::uint64_t>(player.Surface().Height());
  const auto affordable = static_cast<int>(std::max<std::uint64_t>(kFuzzBudget / std::max<std::uint64_t>(pixels, 1), 2));
  const int steps = std::min({player.FrameCount() + 2, kMaxSteps, affordable});
  for (int i = 0; i < steps; ++i) {
    player.NextFrame();
    decoder.NextFrame();
  }
  tovasel::TBitmap picture;
  player.Surface().CopyToBitmap(picture);
  tovasel::TBitmap fromMemory;
  decoder.Surface().CopyToBitmap(fromMemory);
  if (!(picture == fromMemory) || decoder.ErrorCode() != player.ErrorCode()) std::abort();
  return 0;
}
