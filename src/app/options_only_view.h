#pragma once

#include <string>
#include <utility>

#include "app/app_view.h"

namespace tovasel {

// A view that answers every ReadOptions with the options it was made with
// and shows nothing: a conversion with fixed options and no window, as the
// parallel batch's workers, the command line, the fuzz target and the
// benchmarks run it.
class TOptionsOnlyView : public TAppView {
 public:
  explicit TOptionsOnlyView(TConvertOptions options = {})
      : options_(std::move(options)), progressBarName_(TAppView::ProgressBarName()) {}
  // Answers as `source` answers now, so that a conversion in another thread
  // says what the source's own conversion would.
  explicit TOptionsOnlyView(const TAppView& source)
      : options_(source.ReadOptions()), progressBarName_(source.ProgressBarName()) {}

  TConvertOptions ReadOptions() const override { return options_; }
  std::string ProgressBarName() const override { return progressBarName_; }

 private:
  TConvertOptions options_;
  std::string progressBarName_;
};

}  // namespace tovasel
