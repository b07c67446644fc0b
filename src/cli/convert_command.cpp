#include <iostream>
#include <memory>
#include <string>

#include "app/conversion_session.h"
#include "app/path_names.h"
#include "cli/commands.h"
#include "cli/console_view.h"

namespace tovasel::cli {

// `convert FILE`: what the window's Convert writes with the same boxes
// ticked and the same text in the limit field.
void AddConvertCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("convert", "Convert one FLIC file into an animated GIF file");
  struct Args {
    std::string input;
    std::string output;
    TConvertOptions options;
  };
  auto args = std::make_shared<Args>();
  cmd->add_option("FILE", args->input, "FLIC file (.flc or .fli)")->required();
  cmd->add_option("-o,--output", args->output, "GIF file to write (default: FILE without its extension, plus .gif)");
  AddConvertOptions(*cmd, args->options);
  cmd->callback([args, &exitCode] {
    const std::string output =
        args->output.empty() ? StripExtension(args->input) + ".gif" : args->output;
    exitCode = RunReportingErrors([&] {
      TConsoleView view(args->options);
      TConversionSession session(view);
      const int written = session.ConvertFile(args->input, output);
      std::cout << "Wrote " << output << " with " << written << (written == 1 ? " GIF frame\n" : " GIF frames\n");
    });
  });
}

}  // namespace tovasel::cli
