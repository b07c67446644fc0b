#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "app/frame_budget.h"
#include "app/gif_conversion.h"
#include "cli/commands.h"
#include "cli/picture_file.h"
#include "cli/png_writer.h"
#include "cli/ppm_writer.h"
#include "flic/flic_decoder.h"
#include "imaging/bitmap.h"
#include "imaging/limits.h"

namespace tovasel::cli {
namespace {

struct FramesArgs {
  std::string path;
  std::string folder;
  std::string format = "png";
  bool quiet = false;
};

// 0001.png, 0002.png, ...; more digits only past 9999.
std::string FrameFileName(int number, const std::string& format) {
  char name[32];
  std::snprintf(name, sizeof name, "%04d.", number);
  return name + format;
}

void WriteFrames(const FramesArgs& args) {
  const TLimits limits;
  TFlicDecoder decoder;
  decoder.SetLimits(limits);
  OpenFlic(decoder, args.path);
  // The pictures together may take no more than a conversion may hold,
  // however few bytes the file has.
  const int frames = decoder.FrameCount();
  const std::int64_t pixels = std::int64_t{decoder.Surface().Width()} * decoder.Surface().Height();
  if (const std::int64_t cost = FramesCost(frames, pixels); cost > limits.FrameBudget) {
    throw TPlainError("FLIC file " + args.path + " has too many frames to write as pictures: " + MemoryText(cost) +
                      " of pixels, " + MemoryText(limits.FrameBudget) + " allowed");
  }
  std::error_code ec;
  std::filesystem::create_directories(args.folder, ec);
  if (!std::filesystem::is_directory(args.folder, ec) || ec) throw TPlainError("Cannot create folder " + args.folder);
  const bool png = args.format == "png";
  TBitmap picture;
  for (int k = 1; k <= frames; ++k) {
    if (k > 1) decoder.NextFrame();
    const std::string file = (std::filesystem::path(args.folder) / FrameFileName(k, args.format)).string();
    if (png) {
      StorePicture(file, [&](std::ostream& out) { WriteIndexedPng(out, decoder.Surface()); });
    } else {
      decoder.Surface().CopyToBitmap(picture);
      StorePicture(file, [&](std::ostream& out) { WritePpm(out, picture); });
    }
  }
}

}  // namespace

// `frames FILE -o DIR`: writes the pictures of one pass, FLIC frame k as
// 000k.png (or .ppm); frame 1 is the picture right after Open.
void AddFramesCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("frames", "Write every frame of a FLIC file as a picture");
  auto args = std::make_shared<FramesArgs>();
  cmd->add_option("FILE", args->path, "FLIC file (.flc or .fli)")->required();
  cmd->add_option("-o,--output", args->folder, "Folder for the pictures 0001.png, 0002.png, ...")
      ->required()
      ->type_name("DIR")
      ->check(OutputName(false));
  cmd->add_option("--format", args->format,
                  "png (the default: 8-bit pictures in the frame's colours) or ppm (24-bit binary PPM)")
      ->check(CLI::IsMember({"png", "ppm"}))
      ->type_name("FORMAT");
  // Nothing but errors is printed yet; the flag keeps later notes away too.
  cmd->add_flag("-q,--quiet", args->quiet, "Print nothing but errors");
  cmd->callback([args, &exitCode] { exitCode = RunReportingErrors([&] { WriteFrames(*args); }); });
}

}  // namespace tovasel::cli
