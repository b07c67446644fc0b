#include <iostream>
#include <string>

#include "cli/commands.h"
#include "flic/flic_decoder.h"

namespace tovasel::cli {

// `info FILE`: opens the file, steps through one whole pass (so that damage
// anywhere in the file shows in the error code, with the frame it starts
// at) and prints the facts.
void AddInfoCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("info", "Print frame count, size, speed and error code of a FLIC file");
  auto path = std::make_shared<std::string>();
  cmd->add_option("FILE", *path, "FLIC file (.flc or .fli)")->required();
  cmd->callback([path, &exitCode] {
    exitCode = RunReportingErrors([&] {
      TFlicDecoder decoder;
      OpenFlic(decoder, *path);
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
