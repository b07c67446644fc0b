#pragma once

#include <string>
#include <vector>

#include "app/app_view.h"

namespace tovasel::testing {

// A view that answers with fixed options and records what it is told.
class RecordingView : public TAppView {
 public:
  TConvertOptions options;
  std::vector<std::string> log;
  std::vector<std::string> messages;
  std::vector<std::string> skippedFolders;
  int progressMaximum = -1;
  int progressSteps = 0;
  bool convertEnabled = true;
  int enableChanges = 0;

  TConvertOptions ReadOptions() const override { return options; }
  void AddLogLine(const std::string& text) override { log.push_back(text); }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void StartProgress(int maximum) override {
    progressMaximum = maximum;
    progressSteps = 0;
  }
  void StepProgress() override { ++progressSteps; }
  void FolderSkipped(const std::string& path, const std::string&) override {
    skippedFolders.push_back(path);
  }
  // Failures go into the log, so that their place among the steps shows.
  void FileFailed(const std::string& path, const std::string& message) override {
    log.push_back("failed " + path + ": " + message);
  }
  void SetConvertEnabled(bool enabled) override {
    convertEnabled = enabled;
    ++enableChanges;
  }
};

}  // namespace tovasel::testing
