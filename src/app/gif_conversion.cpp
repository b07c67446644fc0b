#include "app/gif_conversion.h"

#include <limits>
#include <string>

#include "app/app_error.h"
#include "app/frame_delays.h"
#include "colour/bitmap_import.h"
#include "colour/colour_map_optimizer.h"
#include "colour/frame_optimizer.h"
#include "colour/incremental_passes.h"
#include "gif/application_extension.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "imaging/indexed_picture.h"

namespace tovasel {

int AppendGifFrame(TGIFImage& Document, const TIndexedPicture& Picture, bool Transparent,
                   std::uint16_t Delay) {
  const int index = AddFrame(Document, Picture);
  TGIFSubImage& frame = Document.Frames().FrameAt(index);
  if (index == 0) {
    auto loop = std::make_unique<TGIFAppExtNSLoop>(frame);
    loop->SetLoopCount(0);
    frame.FrameExtensions().Append(std::move(loop));
  }
  auto control = std::make_unique<TGIFGraphicControlExtension>(frame);
  control->SetDelayTime(Delay);
  if (Transparent) {
    control->SetIsTransparent(true);
    control->SetTransparentIndex(CornerColorIndex(frame));
  }
  frame.FrameExtensions().Append(std::move(control));
  return index;
}

std::uint8_t CornerColorIndex(TGIFSubImage& Frame) {
  return Frame.PixelAt(0, Frame.FrameHeight() - 1);
}

std::string NoFramesMessage(const std::string& FileName) {
  return "FLIC file " + FileName + " has no frames to convert";
}

std::int64_t LastFrameIndex(const TConvertOptions& options, int frameCount, const std::string& progressBarName) {
  const std::int64_t last = options.LimitOn ? ParseLimitText(options.LimitText) : std::int64_t{frameCount} - 1;
  // The progress bar takes last + 1 as its maximum and refuses anything
  // below its minimum of 0 or beyond its 32-bit range.
  const std::int64_t maximum = last + 1;
  if (maximum < 0 || maximum > std::numeric_limits<std::int32_t>::max()) {
    throw EAppError(progressBarName + " property out of range");
  }
  return last;
}

std::int64_t LastFrameIndex(const TConvertOptions& options, const TFrameCache& cache,
                            const std::string& progressBarName, std::int64_t available) {
  const std::int64_t last = LastFrameIndex(options, cache.Count(), progressBarName);
  const std::int64_t maximum = last + 1;
  const std::int64_t pixels = std::int64_t{cache.Width()} * cache.Height();
  if (FramesCost(maximum, pixels) > available) {
    throw EAppError("Frame limit " + std::to_string(last) +
                    " asks for more frames than fit in memory");
  }
  return last;
}

std::unique_ptr<TGIFImage> BuildGifDocument(const TConversionInput& input) {
  if (input.Frames->Count() == 0) throw EAppError(NoFramesMessage(input.FileName));
  auto document = std::make_unique<TGIFImage>();
  TIncrementalPasses passes(*document);

  const TConvertOptions first = input.ReadOptions();
  const std::int64_t last = LastFrameIndex(first, *input.Frames, input.ProgressBarName, input.FrameBudget);
  if (input.StartProgress) input.StartProgress(static_cast<int>(last + 1));
  if (first.ExactColours) document->SetReductionScheme(rsKeepColors);

  for (std::int64_t i = 0; i <= last; ++i) {
    if (input.StepProgress) input.StepProgress();
    // Past the cache's end the last frame repeats.
    const int entry = static_cast<int>(std::min<std::int64_t>(i, input.Frames->Count() - 1));
    const TConvertOptions options = input.ReadOptions();
    const std::uint16_t delay =
        options.ExactTiming ? ExactDelay(input.FlicType, input.Speed, i) : WindowDelay(input.Speed);
    AppendGifFrame(*document, input.Frames->Picture(entry), options.Transparent, delay);
    TCompactOptions compact;
    if (options.Merge) compact |= coMergeUnchanged;
    if (options.Crop) compact |= coCropFrames;
    if (input.WholeDocumentPasses) {
      if (options.Palette) PackColorMaps(*document);
      if (!compact.Empty()) CompactFrames(*document, compact, rsKeepColors, dkNone, 0);
    } else {
      passes.AfterFrameAdded(options.Palette, compact);
    }
  }
  passes.Finish();
  return document;
}

}  // namespace tovasel
