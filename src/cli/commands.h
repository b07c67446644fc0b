#pragma once

#include <CLI/CLI.hpp>

namespace tovasel::cli {

// Each subcommand lives in its own file and adds itself to the parser. Its
// callback runs after a successful parse and stores the process exit code.
void AddInfoCommand(CLI::App& app, int& exitCode);
void AddFramesCommand(CLI::App& app, int& exitCode);

// The one place the tool reports an error: "tovasel-cli: <message>" on
// standard error.
void ReportError(const std::string& message);

}  // namespace tovasel::cli
