#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "app/app_error.h"
#include "app/conversion_session.h"
#include "cli/commands.h"
#include "cli/console_view.h"

namespace tovasel::cli {

std::string FailedFilesText(int failures) {
  return failures == 1 ? "1 file could not be converted"
                       : std::to_string(failures) + " files could not be converted";
}

// `batch DIR`: the window's directory batch on DIR; its log goes to
// standard output from the line naming the folder on.
void AddBatchCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("batch", "Convert every .flc file below DIR into a GIF file beside it");
  struct Args {
    std::string folder;
    int jobs = 1;
    bool keepGoing = false;
    bool quiet = false;
    TConvertOptions options;
  };
  auto args = std::make_shared<Args>();
  cmd->add_option("DIR", args->folder, "Folder to search, subfolders included")->required();
  AddConvertOptions(*cmd, args->options);
  cmd->add_option("--jobs", args->jobs, "Convert N files at once, 1 to 256 (default 1)")
      ->check(CLI::Range(1, 256))
      ->type_name("N");
  cmd->add_flag("--keep-going", args->keepGoing,
                "Go on after a file fails: report each failure on standard error and exit with 1 "
                "at the end (by default the first failure ends the batch, as in the window)");
  cmd->add_flag("-q,--quiet", args->quiet, "Print nothing but errors: no log lines, no progress bar");
  cmd->callback([args, &exitCode] {
    exitCode = RunReportingErrors([&] {
      const std::string folder = std::filesystem::absolute(args->folder).string();
      // The window only offers folders that exist; here a mistyped name
      // must not pass for a folder without FLIC files.
      std::error_code ec;
      std::filesystem::directory_iterator probe(folder, ec);
      if (ec) throw EAppError("Cannot read folder " + folder + ": " + ec.message());
      TConsoleView view(args->options, args->quiet);
      TConversionSession session(view);
      const int failures = session.RunBatch(folder, args->keepGoing, args->jobs);
      if (failures > 0) throw EAppError(FailedFilesText(failures));
    });
  });
}

}  // namespace tovasel::cli
