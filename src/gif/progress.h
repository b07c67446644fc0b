#pragma once

#include <functional>
#include <string>

namespace tovasel {

class TGIFImage;

// Stage of a long document operation ("Converting...", "Optimizing...",
// "Saving...") as reported to the document's OnProgress handler.
enum class TProgressStage : unsigned char { psStarting, psRunning, psEnding };

using TGIFProgressHandler = std::function<void(
    TGIFImage& sender, TProgressStage stage, int percent, const std::string& message)>;

// Receives non-fatal problems; severity is 1 for every warning of the library.
using TGIFWarningHandler =
    std::function<void(TGIFImage& sender, int severity, const std::string& message)>;

// Brackets one long operation with its start and end reports. The end report
// carries 100 % after Succeeded(), and 0 % when the scope is left by an
// exception, so a handler always sees a matching end.
class TProgressScope {
 public:
  TProgressScope(TGIFImage& document, std::string message);
  ~TProgressScope();
  TProgressScope(const TProgressScope&) = delete;
  TProgressScope& operator=(const TProgressScope&) = delete;

  void Running(int percent);
  void Succeeded() { succeeded_ = true; }

 private:
  TGIFImage& document_;
  std::string message_;
  bool succeeded_ = false;
};

}  // namespace tovasel
