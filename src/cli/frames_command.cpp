#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/frame_budget.h"
#include "cli/commands.h"
#include "cli/ppm_writer.h"
#include "flic/flic_decoder.h"
#include "imaging/bitmap.h"
#include "imaging/limits.h"

namespace tovasel::cli {
namespace {

// 0001.ppm, 0002.ppm, ...; more digits only past 9999.
std::string FrameFileName(int number) {
  char name[32];
  std::snprintf(name, sizeof name, "%04d.ppm", number);
  return name;
}

}  // namespace

// `frames FILE -o DIR`: writes the pictures of one pass, FLIC frame k as
// 000k.ppm; frame 1 is the picture right after Open.
void AddFramesCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("frames", "Write every frame of a FLIC file as a binary PPM picture");
  auto path = std::make_shared<std::string>();
  auto dir = std::make_shared<std::string>();
  cmd->add_option("FILE", *path, "FLIC file (.flc or .fli)")->required();
  cmd->add_option("-o,--output", *dir, "Folder for 0001.ppm, 0002.ppm, ...")->required();
  cmd->callback([path, dir, &exitCode] {
    exitCode = RunReportingErrors([&] {
      const TLimits limits;
      TFlicDecoder decoder;
      decoder.SetLimits(limits);
      OpenFlic(decoder, *path);
      // The pictures together may take no more than a conversion may hold,
      // however few bytes the file has.
      const int frames = decoder.FrameCount();
      const std::int64_t pixels = std::int64_t{decoder.Surface().Width()} * decoder.Surface().Height();
      if (FramesCost(frames, pixels) > limits.FrameBudget) {
        throw TPlainError("FLIC file " + *path + " has more frames than the frame budget lets write");
      }
      std::error_code ec;
      std::filesystem::create_directories(*dir, ec);
      if (!std::filesystem::is_directory(*dir, ec) || ec) throw TPlainError("Cannot create folder " + *dir);
      TBitmap picture;
      for (int k = 1; k <= frames; ++k) {
        if (k > 1) decoder.NextFrame();
        decoder.Surface().CopyToBitmap(picture);
        const auto file = std::filesystem::path(*dir) / FrameFileName(k);
        if (!WritePpm(file, picture)) throw TPlainError("Cannot write " + file.string());
      }
    });
  });
}

}  // namespace tovasel::cli
