#include <unistd.h>

#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_error.h"
#include "app/batch_outputs.h"
#include "app/conversion_session.h"
#include "app/path_names.h"
#include "cli/commands.h"
#include "cli/console_view.h"
#include "cli/scratch_file.h"

namespace tovasel::cli {
namespace {

// The name that stands for standard input as FILE, standard output as -o.
constexpr const char* kStandardStream = "-";

struct ConvertArgs {
  std::vector<std::string> inputs;
  std::string output;
  bool quiet = false;
  TConvertOptions options;
};

// A GIF read from standard input goes to standard output unless -o names a
// file, as with other filters.
std::string OutputFor(const std::string& input, const std::string& output) {
  if (!output.empty()) return output;
  return input == kStandardStream ? kStandardStream : StripExtension(input) + ".gif";
}

// Messages name the scratch files by what they stand for.
std::string Renamed(std::string text, const std::optional<TScratchFile>& file, const std::string& name) {
  if (!file) return text;
  for (auto at = text.find(file->Path()); at != std::string::npos; at = text.find(file->Path(), at + name.size())) {
    text.replace(at, file->Path().size(), name);
  }
  return text;
}

// Outputs is set when several files are converted: x.flc and x.FLC both
// name x.gif, and the second must not replace the first.
int ConvertOne(const ConvertArgs& args, const std::string& input, TBatchOutputs* outputs) {
  return RunReportingErrors([&] {
    const std::string output = OutputFor(input, args.output);
    if (outputs != nullptr) outputs->Claim(input);
    std::optional<TScratchFile> source;
    std::optional<TScratchFile> gif;
    try {
      if (input == kStandardStream) {
        source.emplace("input");
        CopyStandardInputTo(*source);
      }
      if (output == kStandardStream) gif.emplace("output");
      // Both scratch files outlive the view, so that its progress bar has
      // ended its line before any error is printed.
      TConsoleView view(args.options, args.quiet);
      TConversionSession session(view);
      const int written = session.ConvertFile(source ? source->Path() : input, gif ? gif->Path() : output);
      if (gif) {
        CopyFileToStandardOutput(gif->Path());
      } else {
        view.AddLogLine("Wrote " + output + " with " + std::to_string(written) +
                        (written == 1 ? " GIF frame" : " GIF frames"));
      }
      if (outputs != nullptr) outputs->Written(input, output);
    } catch (const std::bad_alloc&) {
      throw;
    } catch (const std::exception& e) {
      throw EAppError(Renamed(Renamed(e.what(), source, "standard input"), gif, "standard output"));
    }
  });
}

// What the command line asks for, checked before any file is touched.
void CheckUsage(const ConvertArgs& args) {
  if (args.inputs.size() > 1 && !args.output.empty()) {
    throw CLI::ValidationError("--output names the GIF of one FILE only; without it each FILE gets its own");
  }
  bool toStandardOutput = false;
  for (const auto& input : args.inputs) {
    if (input == kStandardStream && args.inputs.size() > 1) {
      throw CLI::ValidationError("- (standard input) must be the only FILE");
    }
    toStandardOutput = toStandardOutput || OutputFor(input, args.output) == kStandardStream;
  }
  if (toStandardOutput && ::isatty(STDOUT_FILENO) == 1) {
    throw CLI::ValidationError("Standard output is a terminal; write the GIF to a file with -o or redirect it");
  }
}

}  // namespace

// `convert FILE...`: what the window's Convert writes with the same boxes
// ticked and the same text in the limit field. With several files a failure
// does not stop the others: each is reported, and the exit code is 1.
void AddConvertCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("convert", "Convert FLIC files into animated GIF files");
  auto args = std::make_shared<ConvertArgs>();
  cmd->add_option("FILE", args->inputs, "FLIC files (.flc or .fli); - reads one from standard input")
      ->required();
  cmd->add_option("-o,--output", args->output,
                  "GIF file to write, - for standard output; only with one FILE. By default FILE with "
                  ".gif for its extension, or standard output when FILE is - (standard input)")
      ->type_name("OUT");
  cmd->add_flag("-q,--quiet", args->quiet, "Print nothing but errors: no \"Wrote\" line, no progress bar");
  AddConvertOptions(*cmd, args->options);
  cmd->callback([args, &exitCode] {
    CheckUsage(*args);
    int failures = 0;
    TBatchOutputs outputs;
    TBatchOutputs* several = args->inputs.size() > 1 ? &outputs : nullptr;
    for (const auto& input : args->inputs) {
      if (ConvertOne(*args, input, several) != 0) ++failures;
    }
    if (failures > 0 && args->inputs.size() > 1) ReportError(ErrorBoxText(FailedFilesText(failures)));
    exitCode = failures > 0 ? 1 : 0;
  });
}

}  // namespace tovasel::cli
