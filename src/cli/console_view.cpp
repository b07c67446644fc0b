#include "cli/console_view.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "app/app_error.h"
#include "cli/commands.h"

namespace tovasel::cli {

TConsoleView::TConsoleView(TConvertOptions options, bool quiet)
    : TOptionsOnlyView(std::move(options)), quiet_(quiet), terminal_(!quiet && ::isatty(STDERR_FILENO) == 1) {}

TConsoleView::~TConsoleView() { EndProgress(); }

void TConsoleView::AddLogLine(const std::string& text) {
  if (quiet_) return;
  EndProgress();
  std::cout << text << '\n';
  // A batch whose log is lost would leave no account of what it did.
  if (const std::string error = StandardOutputError(); !error.empty()) throw EAppError(error);
}

void TConsoleView::ShowMessage(const std::string& text) {
  EndProgress();
  std::cerr << "tovasel-cli: " << text << std::endl;
}

void TConsoleView::ShowNote(const std::string& text) {
  if (!quiet_) ShowMessage(text);
}

void TConsoleView::FolderSkipped(const std::string& path, const std::string& reason) {
  ShowMessage("Cannot read folder " + path + " (" + reason + "), skipped");
}

void TConsoleView::FileFailed(const std::string& path, const std::string& message) {
  // Most messages name their file already.
  const std::string text = message.find(path) != std::string::npos ? message : path + ": " + message;
  ShowMessage(ErrorBoxText(text));
}

void TConsoleView::StartProgress(int maximum) {
  EndProgress();
  maximum_ = maximum;
  position_ = 0;
  drawnPercent_ = -1;
  DrawProgress();
}

void TConsoleView::StepProgress() {
  if (position_ < maximum_) ++position_;
  DrawProgress();
}

void TConsoleView::DrawProgress() {
  if (!terminal_ || maximum_ <= 0) return;
  const int percent = static_cast<int>(100LL * position_ / maximum_);
  if (percent == drawnPercent_) return;
  drawnPercent_ = percent;
  constexpr int kWidth = 40;
  const int filled = percent * kWidth / 100;
  std::fprintf(stderr, "\r[%.*s%*s] %3d%% frame %d/%d", filled,
               "########################################", kWidth - filled, "", percent, position_,
               maximum_);
  std::fflush(stderr);
  barShown_ = true;
}

void TConsoleView::EndProgress() {
  if (!barShown_) return;
  std::fputc('\n', stderr);
  barShown_ = false;
}

void AddConvertOptions(CLI::App& cmd, TConvertOptions& options) {
  cmd.add_flag("--transparent", options.Transparent,
               "Each frame's bottom-left pixel colour becomes transparent (\"Transparence\")");
  auto* palette = cmd.add_flag("--palette", options.Palette,
                               "Merge all colour tables into one global table of the used colours "
                               "(\"Palette\"); cannot be combined with --optimize");
  auto* merge = cmd.add_flag("--merge", options.Merge,
                             "Pixels that repeat the previous frame become transparent (\"Merge\"); "
                             "cannot be combined with --optimize");
  auto* crop = cmd.add_flag("--crop", options.Crop,
                            "Cut transparent frames down to their visible content (\"Crop\"); cannot be "
                            "combined with --optimize");
  cmd.add_option_function<std::string>(
         "--limit",
         [&options](const std::string& text) {
           options.LimitOn = true;
           options.LimitText = text;
         },
         "Convert frames 0 to N only (N + 1 frames); N is read as the window reads its frame-limit field")
      ->type_name("N");
  cmd.add_flag("--exact-colours", options.ExactColours,
               "Keep each frame's FLIC colours exactly instead of the 216-colour cube");
  cmd.add_flag("--exact-timing", options.ExactTiming,
               "Frame delays from the FLIC speed in its true unit (1/70 s for FLI, ms for FLC), "
               "without drift");
  // A flag with a value of its own: --optimize alone is level 1.
  cmd.add_flag("--optimize{1}", options.Optimize,
               "Write the smallest lossless GIF of the exact colours; LEVEL 1 (default) or 2, which "
               "tries harder and is never larger; cannot be combined with --palette, --merge or --crop")
      ->option_text("[=LEVEL]")
      ->check(CLI::Range(1, 2))
      ->excludes(palette)
      ->excludes(merge)
      ->excludes(crop);
}

}  // namespace tovasel::cli
