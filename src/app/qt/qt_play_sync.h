#pragma once

#include <functional>

#include "flic/play_dispatcher.h"
#include "flic/screen_capture.h"

class QObject;
class QWidget;

namespace tovasel {

// Hands the player's play steps to the thread of `context` (the user-
// interface thread) as queued calls of its event loop. `context` must outlive
// every player that uses this dispatcher; a call still queued when `context`
// goes away is dropped, which the player allows.
class TQtPlayDispatcher : public TPlayDispatcher {
 public:
  explicit TQtPlayDispatcher(QObject* context) : context_(context) {}
  void Post(std::function<void()> task) override;

 private:
  QObject* context_;
};

// Copies the screen under `widget`, the widget the player's output window
// paints into (the whole primary screen when the player has no window).
class TQtScreenCapture : public TScreenCapture {
 public:
  explicit TQtScreenCapture(QWidget* widget) : widget_(widget) {}
  bool CaptureScreen(const TOutputWindow* window, bool wholeWindow, TBitmap& out) override;

 private:
  QWidget* widget_;
};

}  // namespace tovasel
