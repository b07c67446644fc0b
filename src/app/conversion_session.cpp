#include "app/conversion_session.h"

#include <algorithm>
#include <cstring>

#include "app/app_error.h"
#include "app/batch_log.h"
#include "app/batch_outputs.h"
#include "app/gif_conversion.h"
#include "app/optimized_conversion.h"
#include "app/path_names.h"
#include "app/same_file.h"
#include "app/streamed_conversion.h"
#include "gif/gif_image.h"

namespace tovasel {

namespace {

TIndexedPicture SurfacePicture(const TFlicSurface& surface) {
  TIndexedPicture picture;
  picture.Width = surface.Width();
  picture.Height = surface.Height();
  if (picture.Height > 0) {
    // The surface stores its rows bottom-up.
    picture.TopRow = surface.PictureRow(0);
    picture.RowStep = -static_cast<std::ptrdiff_t>(surface.Stride());
  }
  picture.Colors = surface.ColorTable();
  return picture;
}

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

// A streamed conversion decodes only the frames it writes, where the cache
// capture walks the whole first pass. The next file of a batch starts from
// the picture and colours this one leaves behind, so the walk is finished
// here, however the conversion ended.
void FinishFirstPass(TFlicDecoder& decoder) {
  if (!decoder.IsOpen() || decoder.CurrentLoop() != 1) return;
  for (int step = decoder.CurrentFrame() - 1; step < decoder.FrameCount(); ++step) decoder.NextFrame();
}

}  // namespace

void TConversionSession::ReleaseFile() {
  cacheHold_.Reset();
  if (FrameCache.Count() > 0) {
    FrameCache.Clear();
    FlicDecoder.Close();
    view_.ResetScrollPosition();
  }
}

void TConversionSession::OpenFlicFile(const std::string& FileName) {
  ReleaseFile();
  openedFile_ = FileName;
  FlicDecoder.Open(FileName);
  CaptureFrames(FileName);
}

void TConversionSession::OpenFlicBytes(std::span<const std::uint8_t> Bytes, const std::string& FileName) {
  ReleaseFile();
  openedFile_ = FileName;
  FlicDecoder.Open(Bytes);
  CaptureFrames(FileName);
}

void TConversionSession::CaptureFrames(const std::string& FileName) {
  const int frameCount = FlicDecoder.FrameCount();
  const TFlicSurface& surface = FlicDecoder.Surface();
  const int width = surface.Width();
  const int height = surface.Height();
  TBudgetHold hold(budget_, FramesCost(frameCount, std::int64_t{width} * height));
  if (!hold.Held()) {
    FlicDecoder.Close();
    // The fields, picture and scroll bar show the empty cache the refusal
    // leaves, as after a file that did not open, not the previous file.
    Preview.SetSize(0, 0);
    view_.ShowFileInfo(0, width, height);
    view_.ShowFileName(FileNamePart(FileName));
    view_.ShowFrameControls(0);
    view_.ShowPreview(Preview);
    throw EAppError("FLIC file " + FileName + " has more frames than fit in memory");
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
  struct DropDocument {
    TBudgetHold& hold;
    ~DropDocument() { hold.Reset(); }
  } dropDocument{documentHold_};
  // Checked before any work: the GIF would otherwise replace its own source.
  if (FlicDecoder.IsOpen()) RefuseOutputOverInput(openedFile_, OutputPath);

  if (view_.ReadOptions().Optimize > 0) {
    const std::string bytes = BuildOptimizedBytes();
    StoreGifBytes(bytes, OutputPath);
    return CountGifFrames(bytes);
  }
  const std::unique_ptr<TGIFImage> document = BuildDocument();
  document->StoreToFile(OutputPath);
  return document->Frames().ItemCount();
}

int TConversionSession::ConvertFile(const std::string& FileName, const std::string& OutputPath) {
  const TConvertOptions options = view_.ReadOptions();
  if (!StreamsFrames(options)) {
    OpenForConversion(FileName);
    return ConvertToGif(OutputPath);
  }
  const TConvertButtonOff convertButtonOff(view_);
  cacheHold_.Reset();
  FrameCache.Clear();
  openedFile_ = FileName;
  FlicDecoder.Open(FileName);
  if (!FlicDecoder.IsOpen()) throw EAppError("Cannot open FLIC file " + FileName + ": " + FlicDecoder.OpenFailure());
  RefuseOutputOverInput(FileName, OutputPath);

  TStreamedInput input;
  input.FrameCount = FlicDecoder.FrameCount();
  // The walk the cache capture makes: FLIC frame 2 first, frame 1 last.
  input.NextPicture = [this] {
    FlicDecoder.NextFrame();
    return SurfacePicture(FlicDecoder.Surface());
  };
  input.Speed = FlicDecoder.Speed();
  input.FlicType = FlicDecoder.FlicType();
  input.FileName = FileName;
  input.Options = options;
  input.StartProgress = [this](int maximum) { view_.StartProgress(maximum); };
  input.StepProgress = [this] { view_.StepProgress(); };
  input.ProgressBarName = view_.ProgressBarName();
  return StreamGifConversion(input, OutputPath);
}

std::unique_ptr<TGIFImage> TConversionSession::BuildDocument() {
  documentHold_.Reset();
  const std::int64_t pixels = std::int64_t{FrameCache.Width()} * FrameCache.Height();
  const std::int64_t last =
      LastFrameIndex(view_.ReadOptions(), FrameCache, view_.ProgressBarName(), budget_.Available());
  TBudgetHold hold(budget_, FramesCost(last + 1, pixels));
  if (!hold.Held()) {
    throw EAppError("Frame limit " + std::to_string(last) + " asks for more frames than fit in memory");
  }
  auto document = BuildGifDocument(ConversionInput());
  documentHold_ = std::move(hold);
  return document;
}

std::string TConversionSession::BuildOptimizedBytes() {
  return BuildOptimizedGif(ConversionInput(), view_.ReadOptions().Optimize);
}

TConversionInput TConversionSession::ConversionInput() {
  TConversionInput input;
  input.Frames = &FrameCache;
  input.Speed = FlicDecoder.Speed();
  input.FlicType = FlicDecoder.FlicType();
  input.FileName = FlicDecoder.FileName();
  input.ReadOptions = [this] { return view_.ReadOptions(); };
  input.StartProgress = [this](int maximum) { view_.StartProgress(maximum); };
  input.StepProgress = [this] { view_.StepProgress(); };
  input.ProgressBarName = view_.ProgressBarName();
  input.FrameBudget = limits_.FrameBudget;
  return input;
}

int TConversionSession::RunBatch(const std::string& Folder, bool KeepGoing) {
  const std::vector<std::string> paths = SearchBatchFolder(Folder, Search, view_);
  TBatchOutputs outputs;
  int failures = 0;
  for (const std::string& path : paths) {
    LogBatchFile(view_, path);
    try {
      const std::string gif = outputs.Claim(path);
      if (view_.ShowsPreview()) {
        // The window shows each file and keeps its frames in the cache.
        OpenForConversion(path);
        ConvertToGif(gif);
      } else {
        try {
          ConvertFile(path, gif);
        } catch (...) {
          FinishFirstPass(FlicDecoder);
          throw;
        }
        FinishFirstPass(FlicDecoder);
      }
      outputs.Written(path, gif);
    } catch (const std::exception& e) {
      if (!KeepGoing) throw;
      ++failures;
      view_.FileFailed(path, ErrorMessage(e));
    }
  }
  return failures;
}

}  // namespace tovasel
