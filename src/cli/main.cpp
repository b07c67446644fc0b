#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>

#include <CLI/CLI.hpp>

#include "app/app_error.h"
#include "cli/commands.h"
#include "cli/help_formatter.h"
#include "flic/flic_decoder.h"
#include "gif/temp_file_registry.h"
#include "tovasel/version.h"

namespace tovasel::cli {

void ReportError(const std::string& message) { std::cerr << "tovasel-cli: " << message << '\n'; }

CLI::Validator OutputName(bool standardOutput) {
  return CLI::Validator(
      [standardOutput](std::string& name) -> std::string {
        if (name.size() > 1 && name[0] == '-') return name + " looks like an option, not a name to write";
        if (name == "-" && !standardOutput) return "- is not a name to write";
        return {};
      },
      "");
}

std::string StandardOutputError() {
  errno = 0;
  std::cout.flush();
  if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0 && std::cout) return {};
  const int error = errno;
  return error != 0 ? std::string("Cannot write to standard output: ") + std::strerror(error)
                    : std::string("Cannot write to standard output");
}

void OpenFlic(TFlicDecoder& decoder, const std::string& path) {
  if (!decoder.Open(path)) throw TPlainError("Cannot open FLIC file " + path + ": " + decoder.OpenFailure());
}

}  // namespace tovasel::cli

int main(int argc, char** argv) {
  using namespace tovasel::cli;
  tovasel::InstallTempFileCleanup();
  CLI::App app{"Tovasel: converts FLIC animations into animated GIF files", "tovasel-cli"};
  // Set first: each command takes the parser's formatter when it is added.
  app.formatter(std::make_shared<THelpFormatter>());
  app.set_version_flag("--version", std::string("tovasel-cli ") + tovasel::kVersion);
  app.require_subcommand(1);
  app.failure_message([](const CLI::App* failed, const CLI::Error& e) {
    return "tovasel-cli: " + CLI::FailureMessage::simple(failed, e);
  });

  int exitCode = 0;
  AddInfoCommand(app, exitCode);
  AddFramesCommand(app, exitCode);
  AddConvertCommand(app, exitCode);
  AddBatchCommand(app, exitCode);
  AddThumbnailCommand(app, exitCode);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // --help and --version arrive as "errors" with exit code 0; every real
    // usage error maps to the conventional 2.
    const int code = app.exit(e);
    return code == 0 ? 0 : 2;
  } catch (const std::exception& e) {
    // Errors outside a command's own reporting still end in one line.
    ReportError(tovasel::ErrorText(e));
    return 1;
  }
  // Output that never arrived (a full disk) is a failure, not a success with
  // nothing to show. A command that failed has said so already.
  if (exitCode == 0) {
    if (const std::string error = StandardOutputError(); !error.empty()) {
      ReportError(tovasel::ErrorBoxText(error));
      return 1;
    }
  }
  return exitCode;
}
