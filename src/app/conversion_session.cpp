#include "app/conversion_session.h"

#include <algorithm>
#include <cstring>

#include "app/app_error.h"
#include "app/directory_batch.h"
#include "app/frame_source.h"
#include "app/gif_conversion.h"
#include "app/path_names.h"
#include "app/output_plan.h"
#include "gif/output_target.h"

namespace tovasel {

namespace {

// Resizes the preview, width first, then height; new storage starts white.
void SizePreview(TBitmap& preview, int width, int height) {
  if (preview.Width() == width && preview.Height() == height) return;
  preview.SetSize(width, height);
  for (int y = 0; y < height; ++y) std::memset(preview.ScanLine(y), 0xFF, preview.Stride());
}

// The Convert button stays disabled while a conversion runs, however it ends.
class TConvertButtonOff {
 public:
  explicit TConvertButtonOff(TAppView& view) : view_(view) { view_.SetConvertEnabled(false); }
  ~TConvertButtonOff() { view_.SetConvertEnabled(true); }
  TConvertButtonOff(const TConvertButtonOff&) = delete;
  TConvertButtonOff& operator=(const TConvertButtonOff&) = delete;

 private:
  TAppView& view_;
};

}  // namespace

void TConversionSession::EmptyCache() {
  cacheHold_.Reset();
  if (FrameCache.Count() > 0) {
    FrameCache.Clear();
    FlicDecoder.Close();
    view_.ResetScrollPosition();
  }
}

void TConversionSession::OpenFlicFile(const std::string& FileName) {
  EmptyCache();
  openedFile_ = FileName;
  FlicDecoder.Open(FileName);
  CaptureFrames(FileName);
}

void TConversionSession::OpenFlicBytes(std::span<const std::uint8_t> Bytes, const std::string& FileName) {
  EmptyCache();
  openedFile_ = FileName;
  FlicDecoder.Open(Bytes);
  CaptureFrames(FileName);
}

void TConversionSession::CaptureFrames(const std::string& FileName) {
  const int frameCount = FlicDecoder.FrameCount();
  const TFlicSurface& surface = FlicDecoder.Surface();
  const int width = surface.Width();
  const int height = surface.Height();
  const std::int64_t cost = FramesCost(frameCount, std::int64_t{width} * height);
  TBudgetHold hold(budget_, cost);
  if (!hold.Held()) {
    FlicDecoder.Close();
    // The fields, picture and scroll bar show the empty cache the refusal
    // leaves, as after a file that did not open, not the previous file.
    Preview.SetSize(0, 0);
    view_.ShowFileInfo(0, width, height);
    view_.ShowFileName(FileNamePart(FileName));
    view_.ShowFrameControls(0);
    view_.ShowPreview(Preview);
    throw EAppError("FLIC file " + FileName + " has too many frames to keep in memory: " + MemoryText(cost) +
                    " needed, " + MemoryText(budget_.Capacity()) + " allowed");
  }
  cacheHold_ = std::move(hold);

  SizePreview(Preview, width, height);
  FrameCache.SetWidth(width);
  FrameCache.SetHeight(height);
  view_.ShowFileInfo(frameCount, width, height);
  view_.ShowFileName(FileNamePart(FileName));
  view_.ShowFrameControls(std::max(frameCount - 1, 0));
  view_.ShowPreview(Preview);

  const bool previews = view_.ShowsPreview();
  for (int i = 0; i < frameCount; ++i) {
    FlicDecoder.NextFrame();
    if (previews) surface.CopyToBitmap(Preview);
    if (FrameCache.Add(SurfacePicture(surface)) < 0) view_.ShowMessage("Erreur Ajout dans la liste");
    if (previews) view_.ShowPreview(Preview);
    view_.FrameCaptured(i, frameCount);
  }
  FlicDecoder.ReleaseFile();
}

void TConversionSession::OpenForConversion(const std::string& FileName) {
  OpenFlicFile(FileName);
  // Converting a file that did not open would write blank frames (with the
  // frame limit on) as if all went well.
  if (!FlicDecoder.IsOpen()) throw EAppError("Cannot open FLIC file " + FileName + ": " + FlicDecoder.OpenFailure());
}

void TConversionSession::ShowCachedFrame(int Position) {
  if (FrameCache.Count() == 0) return;
  FrameCache.CopyTo(Position, Preview);
  view_.ShowPreviewIndex(Position);
  view_.ShowPreview(Preview);
}

int TConversionSession::ConvertToGif(const std::string& OutputPath) {
  const TConvertButtonOff convertButtonOff(view_);
  // Checked before any work: the GIF would otherwise replace its own source.
  if (FlicDecoder.IsOpen()) RefuseOutputOverInput(openedFile_, OutputPath);
  TCachedFrames frames(FrameCache);
  return Convert(frames, OutputPath);
}

int TConversionSession::ConvertFile(const std::string& FileName, const std::string& OutputPath) {
  const TConvertButtonOff convertButtonOff(view_);
  EmptyCache();
  openedFile_ = FileName;
  FlicDecoder.Open(FileName);
  if (!FlicDecoder.IsOpen()) throw EAppError("Cannot open FLIC file " + FileName + ": " + FlicDecoder.OpenFailure());
  RefuseOutputOverInput(FileName, OutputPath);
  TDecodedFrames frames(FlicDecoder);
  return Convert(frames, OutputPath);
}

int TConversionSession::ConvertBytes(std::vector<std::uint8_t>&& Bytes, const std::string& Name,
                                     const std::string& OutputPath) {
  const TConvertButtonOff convertButtonOff(view_);
  EmptyCache();
  openedFile_.clear();
  if (!FlicDecoder.Open(std::move(Bytes), Name)) {
    throw EAppError("Cannot open FLIC file " + Name + ": " + FlicDecoder.OpenFailure());
  }
  TDecodedFrames frames(FlicDecoder);
  return Convert(frames, OutputPath);
}

std::string TConversionSession::DamageNote() const {
  const int first = FlicDecoder.FirstDamagedFrame();
  // Damage past the frames converted (the cache's order takes FLIC frames 2
  // to Last + 2) is none of the GIF's business.
  if (first == 0 || first > convertedFrames_ + 1) return {};
  const int before = first - 1;
  const std::string held = before == 1 ? "the frame before it" : "the " + std::to_string(before) + " frames before it";
  std::string note = "FLIC file " + FlicDecoder.FileName() + " is damaged from frame " + std::to_string(first) +
                     " on; the GIF holds " + (before == 0 ? "only what could be read of it" : held);
  if (before > 0 && FlicDecoder.DamagedFramePartial()) note += " and what could be read of the rest";
  return note + ".";
}

int TConversionSession::Convert(TFrameSource& Frames, const std::string& OutputPath) {
  TConversionSettings settings;
  settings.Options = view_.ReadOptions();
  settings.Speed = FlicDecoder.Speed();
  settings.FlicType = FlicDecoder.FlicType();
  settings.FileName = FlicDecoder.FileName();
  settings.StartProgress = [this](int maximum) { view_.StartProgress(maximum); };
  settings.StepProgress = [this] { view_.StepProgress(); };
  settings.ProgressBarName = view_.ProgressBarName();
  // What the cache holds is taken already.
  settings.Budget = budget_.Available();
  convertedFrames_ = 0;
  TGifConversion conversion(Frames, std::move(settings));
  convertedFrames_ = conversion.Last() + 1;
  int written = 0;
  StoreOutput(OutputPath, [&](std::ostream& stream) { written = conversion.WriteTo(stream); });
  return written;
}

int TConversionSession::RunBatch(const std::string& Folder, bool KeepGoing, int Jobs) {
  return TDirectoryBatch(*this, view_, limits_).Run(Folder, KeepGoing, Jobs);
}

}  // namespace tovasel
