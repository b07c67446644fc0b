#include <iostream>
#include <string>

#include "cli/commands.h"
#include "flic/flic_player.h"

namespace tovasel::cli {

// `info FILE`: opens the file, steps through one whole pass (so that damage
// anywhere in the file shows in the error code) and prints the facts.
void AddInfoCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("info", "Print frame count, size, speed and error code of a FLIC file");
  auto path = std::make_shared<std::string>();
  cmd->add_option("FILE", *path, "FLIC file (.flc or .fli)")->required();
  cmd->callback([path, &exitCode] {
    exitCode = RunReportingErrors([&] {
      TFlicPlayer32 player;
      OpenFlic(player, *path);
      const int frames = player.FrameCount();
      for (int i = 0; i < frames; ++i) player.NextFrame();
      std::cout << "frames: " << frames << '\n'
                << "width: " << player.Surface().Width() << '\n'
                << "height: " << player.Surface().Height() << '\n'
                << "speed: " << player.Speed() << '\n'
                << "ring frame: " << (player.HasRingFrame() ? "yes" : "no") << '\n'
                << "error: " << player.ErrorCode() << '\n';
    });
  });
}

}  // namespace tovasel::cli
