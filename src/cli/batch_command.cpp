#include <filesystem>
#include <memory>
#include <string>

#include "app/conversion_session.h"
#include "app/parallel_batch.h"
#include "cli/commands.h"
#include "cli/console_view.h"

namespace tovasel::cli {

// `batch DIR`: the window's directory batch on DIR; its log goes to
// standard output from the line naming the folder on.
void AddBatchCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand(
      "batch",
      "Convert every .flc file below DIR into a GIF file beside it.\n"
      "With --jobs above 1 each file is converted by a player of its own: a file whose first "
      "frame sets no colours then starts from black instead of the colours the previous file "
      "left, so its GIF may differ from the one-at-a-time batch.");
  struct Args {
    std::string folder;
    int jobs = 1;
    TConvertOptions options;
  };
  auto args = std::make_shared<Args>();
  cmd->add_option("DIR", args->folder, "Folder to search, subfolders included")->required();
  AddConvertOptions(*cmd, args->options);
  cmd->add_option("--jobs", args->jobs, "Files converted at once (default 1)")
      ->check(CLI::Range(1, 256));
  cmd->callback([args, &exitCode] {
    exitCode = RunReportingErrors([&] {
      const std::string folder = std::filesystem::absolute(args->folder).string();
      TConsoleView view(args->options);
      if (args->jobs > 1) {
        RunParallelBatch(folder, args->jobs, view);
      } else {
        TConversionSession session(view);
        session.RunBatch(folder);
      }
    });
  });
}

}  // namespace tovasel::cli
