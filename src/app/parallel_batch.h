#pragma once

#include <string>

#include "app/app_view.h"
#include "imaging/limits.h"

namespace tovasel {

// The directory batch with up to Jobs files converted at once. Log lines and
// output files appear in the order found, as in the one-at-a-time batch, and
// nothing is written after the first failure, which propagates; with
// KeepGoing each failure goes to the view's FileFailed, in that order, and
// the batch goes on. Returns the number of files that failed.
//
// Each file is converted by a player of its own, so a file whose first frame
// sets no colours starts from black rather than from the colours the
// previous file left behind.
//
// The conversions in flight share one budget of Limits.FrameBudget units
// (see FramesCost), each counted from the start of its conversion until its
// GIF is written, so the batch holds no more than one conversion may,
// whatever the number of jobs. Each conversion opens its file within Limits.
int RunParallelBatch(const std::string& Folder, int Jobs, TAppView& view, bool KeepGoing = false,
                     const TLimits& Limits = {});

}  // namespace tovasel
