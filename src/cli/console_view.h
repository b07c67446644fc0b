#pragma once

#include <string>

#include <CLI/CLI.hpp>

#include "app/options_only_view.h"

namespace tovasel::cli {

// The command line's view of a conversion: the options given on the
// command line, log lines on standard output, messages, skipped folders and
// failed files on standard error, and a progress bar on standard error when
// that is a terminal. A quiet view shows neither log lines nor progress.
class TConsoleView : public TOptionsOnlyView {
 public:
  TConsoleView(TConvertOptions options, bool quiet);
  ~TConsoleView() override;

  void AddLogLine(const std::string& text) override;
  void ShowMessage(const std::string& text) override;
  // Notes go where errors go, and not at all when quiet.
  void ShowNote(const std::string& text) override;
  void StartProgress(int maximum) override;
  void StepProgress() override;
  // The command line's messages are the window's, word for word.
  std::string ProgressBarName() const override { return "QProgressBar"; }
  void FolderSkipped(const std::string& path, const std::string& reason) override;
  void FileFailed(const std::string& path, const std::string& message) override;

 private:
  void DrawProgress();
  void EndProgress();

  bool quiet_ = false;
  bool terminal_ = false;
  int maximum_ = 0;
  int position_ = 0;
  int drawnPercent_ = -1;
  bool barShown_ = false;
};

// Adds the option boxes of the window (and the exact-colour and
// exact-timing extras) to a subcommand.
void AddConvertOptions(CLI::App& cmd, TConvertOptions& options);

}  // namespace tovasel::cli
