#pragma once

#include <functional>
#include <stdexcept>
#include <string>

#include <CLI/CLI.hpp>

namespace tovasel {
class TFlicDecoder;
}

namespace tovasel::cli {

// Each subcommand lives in its own file and adds itself to the parser. Its
// callback runs after a successful parse and stores the process exit code.
void AddInfoCommand(CLI::App& app, int& exitCode);
void AddFramesCommand(CLI::App& app, int& exitCode);
void AddConvertCommand(CLI::App& app, int& exitCode);
void AddBatchCommand(CLI::App& app, int& exitCode);
void AddThumbnailCommand(CLI::App& app, int& exitCode);

// Refuses a name to write that starts with "-" (a mistyped option), other
// than "-" itself where standardOutput says the command takes it for
// standard output.
CLI::Validator OutputName(bool standardOutput);

// The one place the tool reports an error: "tovasel-cli: <message>" on
// standard error.
void ReportError(const std::string& message);

// Flushes standard output; a write that failed now or before gives the
// error to report ("Cannot write to standard output: <reason>"), else "".
std::string StandardOutputError();

// Opens path in decoder; a file that does not open raises TPlainError
// "Cannot open FLIC file <path>: <why>" (TFlicDecoder::OpenFailure).
void OpenFlic(TFlicDecoder& decoder, const std::string& path);

// The batch's closing error after --keep-going met failures.
std::string FailedFilesText(int failures);

// An error of a command the window does not have (info, frames, thumbnail): its line
// shows the text as it is, without the error box's closing full stop.
class TPlainError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Runs work and turns an error it raises into that one line, with the text
// the window's error box would show (ErrorText), or a TPlainError's own.
// Returns the exit code: 0, or 1. Any other exception still ends in one line
// and exit code 1, never an abort.
int RunReportingErrors(const std::function<void()>& work);

}  // namespace tovasel::cli
