#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/picture_file.h"
#include "cli/png_writer.h"
#include "flic/flic_decoder.h"
#include "flic/flic_error.h"
#include "imaging/area_scale.h"
#include "imaging/bitmap.h"

namespace tovasel::cli {
namespace {

struct ThumbnailArgs {
  int size = 128;
  std::string path;
  std::string output;
  bool quiet = false;
};

// File managers run a thumbnailer on every FLIC file they list, so this is
// the one place that opens the file, and it needs frame 1 only.
void OpenForFirstFrame(TFlicDecoder& decoder, const std::string& path) {
  if (!decoder.OpenFirstFrame(path)) {
    throw TPlainError("Cannot open FLIC file " + path + ": " + decoder.OpenFailure());
  }
}

void WriteThumbnail(const ThumbnailArgs& args) {
  TFlicDecoder decoder;
  OpenForFirstFrame(decoder, args.path);
  // A file manager shows a damaged file better without a picture than with
  // half of one. A file only shorter than its header says (a copy cut off
  // after frame 1, or a header that counts one byte too many) still has a
  // whole frame 1.
  if (decoder.ErrorCode() == kFlicErrorChunk) {
    throw TPlainError("FLIC file " + args.path + " is damaged in its first frame");
  }
  TBitmap frame;
  decoder.Surface().CopyToBitmap(frame);
  decoder.Close();
  const TBitmap thumbnail = ScaleDown(frame, FitInside(frame.Width(), frame.Height(), args.size));
  StorePicture(args.output, [&](std::ostream& out) { WriteRgbPng(out, thumbnail); });
}

}  // namespace

// `thumbnail [-s SIZE] FILE OUT.png`: frame 1 in its palette colours, as the
// window shows it right after opening, scaled down to fit SIZE × SIZE, for
// the desktop's thumbnailer entry.
void AddThumbnailCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("thumbnail", "Write the first frame of a FLIC file as a small PNG picture");
  auto args = std::make_shared<ThumbnailArgs>();
  cmd->add_option("-s,--size", args->size,
                  "Longest side of the picture in pixels (default 128); a smaller frame keeps its size")
      ->check(CLI::Range(1, 65535))
      ->type_name("SIZE");
  cmd->add_option("FILE", args->path, "FLIC file (.flc or .fli)")->required();
  cmd->add_option("OUT", args->output, "PNG file to write")->required()->check(OutputName(false));
  // Nothing but errors is printed yet; the flag keeps later notes away too.
  cmd->add_flag("-q,--quiet", args->quiet, "Print nothing but errors");
  cmd->callback([args, &exitCode] { exitCode = RunReportingErrors([&] { WriteThumbnail(*args); }); });
}

}  // namespace tovasel::cli
