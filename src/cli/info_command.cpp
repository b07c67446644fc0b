#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "flic/flic_decoder.h"

namespace tovasel::cli {

// `info FILE`: opens the file, steps through one whole pass (so that damage
// anywhere in the file shows in the error code, with the frame it starts
// at) and prints the facts.
void AddInfoCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("info", "Print frame count, size, speed and error code of a FLIC file");
  struct Args {
    std::string path;
    bool quiet = false;
  };
  auto args = std::make_shared<Args>();
  cmd->add_option("FILE", args->path, "FLIC file (.flc or .fli)")->required();
  // The facts are the command's result and stay; nothing else is printed yet.
  cmd->add_flag("-q,--quiet", args->quiet, "Print nothing but the facts and errors");
  cmd->callback([args, &exitCode] {
    exitCode = RunReportingErrors([&] {
      TFlicDecoder decoder;
      OpenFlic(decoder, args->path);
      const int frames = decoder.FrameCount();
      for (int i = 0; i < frames; ++i) decoder.NextFrame();
      std::cout << "frames: " << frames << '\n'
                << "width: " << decoder.Surface().Width() << '\n'
                << "height: " << decoder.Surface().Height() << '\n'
                << "speed: " << decoder.Speed() << '\n'
                << "ring frame: " << (decoder.HasRingFrame() ? "yes" : "no") << '\n'
                << "error: " << decoder.ErrorCode();
      if (decoder.FirstDamagedFrame() != 0) std::cout << " (damaged from frame " << decoder.FirstDamagedFrame() << ')';
      std::cout << '\n';
    });
  });
}

}  // namespace tovasel::cli
