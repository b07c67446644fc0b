#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/app_view.h"
#include "app/file_search.h"
#include "app/frame_budget.h"
#include "app/frame_cache.h"
#include "flic/flic_decoder.h"
#include "imaging/bitmap.h"
#include "imaging/limits.h"

namespace tovasel {

class TFrameSource;

// The application's work behind the main window, free of any toolkit: the
// FLIC decoder, the frame cache and the preview picture, opening a file,
// previewing a cached frame, converting to GIF and the directory batch. A
// window or the command line drives it and shows what it reports through
// TAppView.
class TConversionSession {
 public:
  // The limits' FrameBudget caps what the cache and a conversion hold
  // together (in budget units, see FramesCost), and the decoder opens files
  // within the limits; callers with little memory give less.
  explicit TConversionSession(TAppView& view, const TLimits& limits = {})
      : view_(view), limits_(limits), budget_(limits.FrameBudget) {
    FlicDecoder.SetLimits(limits);
  }

  // Opens FileName and captures every frame into the cache: entry i holds
  // FLIC frame i + 2 and the last entry frame 1. A file that does not open
  // leaves the cache empty without an error; a file whose frames would not
  // fit the session's budget is closed again and raises EAppError.
  void OpenFlicFile(const std::string& FileName);
  // OpenFlicFile for a file whose bytes are already in memory, shown and
  // checked against outputs under FileName.
  void OpenFlicBytes(std::span<const std::uint8_t> Bytes, const std::string& FileName);

  // OpenFlicFile for the batch and the command line, where a file that does
  // not open is an error: raises EAppError "Cannot open FLIC file <path>:
  // <why>".
  void OpenForConversion(const std::string& FileName);

  // Shows cache entry Position in the preview (the scroll bar's change).
  void ShowCachedFrame(int Position);

  // Writes the cached frames as a GIF file at OutputPath, with the options
  // the view reports, and returns the number of GIF frames written. Errors
  // propagate after the Convert button is enabled again; an existing file
  // at OutputPath is only ever replaced whole, and never when it is the open
  // FLIC file itself.
  int ConvertToGif(const std::string& OutputPath);

  // Opens FileName and writes its GIF at OutputPath as ConvertToGif would
  // after OpenForConversion, byte for byte, but with the frames going from
  // the decoder into the conversion as they are decoded: the cache stays
  // empty, and memory holds what the options need, not every frame.
  int ConvertFile(const std::string& FileName, const std::string& OutputPath);
  // The same for a file already in memory, taken over without a copy and
  // named Name in messages (such as "standard input").
  int ConvertBytes(std::vector<std::uint8_t>&& Bytes, const std::string& Name, const std::string& OutputPath);

  // What the command line says of the file last converted once its
  // conversion went through, when the damage lies among the frames it took: "FLIC file X is damaged from frame N on; the
  // GIF holds the M frames before it." (or that it holds what could be read
  // of the rest), or "" for a file whose frames all decoded.
  std::string DamageNote() const;

  // Converts every .flc file below Folder into a GIF beside it, Jobs files
  // at once, as TDirectoryBatch describes. Returns the number of files that
  // failed.
  int RunBatch(const std::string& Folder, bool KeepGoing = false, int Jobs = 1);

  bool FileOpen() const { return FlicDecoder.IsOpen(); }

  TFlicDecoder FlicDecoder;
  TFrameCache FrameCache;
  TBitmap Preview;  // the preview picture, also the capture buffer
  TFileSearch Search;

 private:
  // Converts the source's pictures with the view's options into OutputPath.
  int Convert(TFrameSource& Frames, const std::string& OutputPath);
  // Empties the cache and closes the file it came from.
  void EmptyCache();
  // Captures every frame of the file just opened into the cache, then lets
  // the file go: the cache is all that is read from then on.
  void CaptureFrames(const std::string& FileName);

  TAppView& view_;
  std::string openedFile_;
  // Frames the last conversion took from its source.
  std::int64_t convertedFrames_ = 0;
  const TLimits limits_;
  // The cache and the document of one conversion share one budget.
  TFrameBudget budget_;
  TBudgetHold cacheHold_;
};

}  // namespace tovasel
