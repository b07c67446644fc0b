#include <unistd.h>

#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_error.h"
#include "app/conversion_session.h"
#include "app/output_plan.h"
#include "app/path_names.h"
#include "cli/commands.h"
#include "cli/console_view.h"
#include "cli/standard_input.h"
#include "gif/output_target.h"

namespace tovasel::cli {
namespace {

// The name that stands for standard input as FILE, standard output as -o.
constexpr const char* kStandardStream = "-";
// Where a GIF for standard output goes: the descriptor, as for any other
// name of it.
constexpr const char* kStandardOutputPath = "/dev/stdout";

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

int ConvertOne(const ConvertArgs& args, const std::string& input, const std::string& output) {
  return RunReportingErrors([&] {
    const std::string target = output == kStandardStream ? kStandardOutputPath : output;
    TConsoleView view(args.options, args.quiet);
    TConversionSession session(view);
    // Whatever standard output's buffer holds goes before the GIF.
    if (DescriptorNamedBy(target) == STDOUT_FILENO) {
      if (const std::string error = StandardOutputError(); !error.empty()) throw EAppError(error);
    }
    const int written = input == kStandardStream
                            ? session.ConvertBytes(ReadStandardInput(session.FlicDecoder), "standard input", target)
                            : session.ConvertFile(input, target);
    if (const std::string note = session.DamageNote(); !note.empty()) view.ShowNote(note);
    if (DescriptorNamedBy(target) < 0) {
      view.AddLogLine("Wrote " + output + " with " + std::to_string(written) +
                      (written == 1 ? " GIF frame" : " GIF frames"));
    }
  });
}

// What the command line asks for, checked before any file is touched: the
// streams, and every output against every input.
void CheckUsage(const ConvertArgs& args, const std::vector<std::string>& outputs) {
  if (args.inputs.size() > 1 && !args.output.empty()) {
    throw CLI::ValidationError("--output names the GIF of one FILE only; without it each FILE gets its own");
  }
  std::vector<std::string> namedInputs, namedOutputs;
  for (std::size_t i = 0; i < args.inputs.size(); ++i) {
    const std::string& input = args.inputs[i];
    if (input == kStandardStream && args.inputs.size() > 1) {
      throw CLI::ValidationError("- (standard input) must be the only FILE");
    }
    const int fd = outputs[i] == kStandardStream ? STDOUT_FILENO : DescriptorNamedBy(outputs[i]);
    if (fd >= 0 && ::isatty(fd) == 1) {
      throw CLI::ValidationError(fd == STDOUT_FILENO
                                     ? "Standard output is a terminal; write the GIF to a file with -o or redirect it"
                                     : outputs[i] + " is a terminal; write the GIF to a file or redirect it");
    }
    if (input != kStandardStream && fd < 0) {
      namedInputs.push_back(input);
      namedOutputs.push_back(outputs[i]);
    }
  }
  if (const auto refusal = TOutputPlan(namedInputs, namedOutputs).FirstRefusal()) {
    throw CLI::ValidationError(*refusal + "; nothing was written");
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
      ->type_name("OUT")
      ->check(OutputName(true));
  cmd->add_flag("-q,--quiet", args->quiet, "Print nothing but errors: no \"Wrote\" line, no progress bar");
  AddConvertOptions(*cmd, args->options);
  cmd->callback([args, &exitCode] {
    std::vector<std::string> outputs;
    for (const auto& input : args->inputs) outputs.push_back(OutputFor(input, args->output));
    CheckUsage(*args, outputs);
    int failures = 0;
    for (std::size_t i = 0; i < args->inputs.size(); ++i) {
      if (ConvertOne(*args, args->inputs[i], outputs[i]) != 0) ++failures;
    }
    if (failures > 0 && args->inputs.size() > 1) ReportError(ErrorBoxText(FailedFilesText(failures)));
    exitCode = failures > 0 ? 1 : 0;
  });
}

}  // namespace tovasel::cli
