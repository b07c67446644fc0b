#pragma once

#include <string>

#include "app/convert_options.h"

namespace tovasel {

class TBitmap;

// What the application logic needs of a window: its fields, scroll bar,
// preview, progress bar, log and message boxes. Every call has a quiet
// default so that the command line shows only what it wants.
class TAppView {
 public:
  virtual ~TAppView() = default;

  // The option boxes and limit field, read afresh for every frame.
  virtual TConvertOptions ReadOptions() const = 0;

  // Open: the three number fields, the file-name field, the scroll bar and
  // its two labels, and the preview picture.
  virtual void ShowFileInfo(int /*frameCount*/, int /*width*/, int /*height*/) {}
  virtual void ShowFileName(const std::string& /*name*/) {}
  virtual void ResetScrollPosition() {}
  virtual void ShowFrameControls(int /*scrollMaximum*/) {}
  virtual void ShowPreview(const TBitmap& /*preview*/) {}
  // Whether the view shows the preview picture at all. One that does not
  // (the command line) is spared a 24-bit copy of every frame on open.
  virtual bool ShowsPreview() const { return false; }
  virtual void ShowPreviewIndex(int /*index*/) {}
  // One frame captured (index from 0 of frameCount); lets a view pace a
  // progress display during a long open.
  virtual void FrameCaptured(int /*index*/, int /*frameCount*/) {}

  // Convert: the button, and the progress bar.
  virtual void SetConvertEnabled(bool /*enabled*/) {}
  virtual void StartProgress(int /*maximum*/) {}
  virtual void StepProgress() {}
  // The name a progress range the bar refuses is reported under: "<name>
  // property out of range". The window gives its toolkit's class name.
  virtual std::string ProgressBarName() const { return "Progress bar"; }

  // The log pane and the plain message dialog.
  virtual void AddLogLine(const std::string& /*text*/) {}
  virtual void ShowMessage(const std::string& /*text*/) {}
  // Something worth knowing about a conversion that went through, such as
  // a damaged file converted as far as it could be read; the window keeps
  // to its own messages and shows none.
  virtual void ShowNote(const std::string& /*text*/) {}

  // The batch: a folder the search could not list (skipped, as the window's
  // log always did quietly), and a file that failed in a batch that goes on.
  virtual void FolderSkipped(const std::string& /*path*/, const std::string& /*reason*/) {}
  virtual void FileFailed(const std::string& /*path*/, const std::string& /*message*/) {}
};

}  // namespace tovasel
