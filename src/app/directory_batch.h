#pragma once

#include <string>

#include "imaging/limits.h"

namespace tovasel {

class TAppView;
class TConversionSession;

// The directory batch: every .flc file below a folder converted into a GIF
// beside it, logged in French from the line naming the folder on, in the
// order the search finds them. The first failure ends the batch and
// propagates, and nothing is written after it; with KeepGoing each failure
// goes to the view's FileFailed, in that order, and the batch goes on.
// Folders the search cannot list go to FolderSkipped. Outputs are planned
// before any file is converted (TOutputPlan): a GIF that would replace one of
// the FLIC files, or that an earlier file writes, is that file's failure.
//
// With one job the session converts the files in turn on its own decoder:
// a view that shows a preview (the window) opens each file into the frame
// cache as Open does; any other converts straight from the decoder. Either
// way the next file starts from the colours this one left, as the decoder
// carries them.
//
// With more jobs, up to Jobs files are converted at once, each on a decoder
// of its own into a scratch file beside it that is stored at its turn. A
// walk that only decodes, over the files in order, hands each job the
// colours its file would have met on one decoder, so that the bytes never
// depend on the number of jobs. The conversions in flight share one budget
// of Limits.FrameBudget units, each counted from its start until its GIF is
// stored.
class TDirectoryBatch {
 public:
  TDirectoryBatch(TConversionSession& session, TAppView& view, const TLimits& limits)
      : session_(session), view_(view), limits_(limits) {}

  // Returns the number of files that failed.
  int Run(const std::string& Folder, bool KeepGoing, int Jobs);

 private:
  TConversionSession& session_;
  TAppView& view_;
  const TLimits limits_;
};

}  // namespace tovasel
