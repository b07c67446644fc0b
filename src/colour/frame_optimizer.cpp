// The document's frame optimisation: crop, merge and cleanup passes, and the
// ordering of colour maps by use.

#include "colour/frame_optimizer.h"

#include <algorithm>

#include "colour/colour_map_sort.h"
#include "colour/frame_passes.h"
#include "colour/frame_rect.h"
#include "gif/frame_transparency.h"
#include "gif/application_extension.h"
#include "gif/gif_exception.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "gif/progress.h"
#include "gif/sub_image.h"
#include "gif/text_extensions.h"

namespace tovasel {

int MergeSourceIndex(const TGIFImageList& frames, int k) {
  // A frame restored to what was there before it never stays on screen,
  // so the frame before it is the one to compare against.
  int p = k - 1;
  while (p > 0) {
    const TGIFGraphicControlExtension* control = frames.FrameAt(p).ControlExtension();
    if (control == nullptr || control->DisposalMethod() != 3) break;
    --p;
  }
  return p;
}

TCropResult CropFrameAt(TGIFImageList& frames, int j) {
  TGIFSubImage& frame = frames.FrameAt(j);
  if (frame.IsBlank() || !frame.HasTransparency()) return TCropResult::crSkipped;
  const TGIFGraphicControlExtension* control = frame.ControlExtension();
  const std::uint16_t delay = control != nullptr ? control->DelayTime() : 0;
  CropToContent(frame);
  if (!frame.IsBlank()) return TCropResult::crCropped;
  // An invisible frame only waits; the previous frame waits for it, when
  // it can carry the time (a transparent frame has a control extension).
  if (j > 0) {
    TGIFSubImage& before = frames.FrameAt(j - 1);
    TGIFGraphicControlExtension* beforeControl = before.ControlExtension();
    if (before.HasTransparency() && beforeControl != nullptr) {
      beforeControl->SetDelayTime(static_cast<std::uint16_t>(beforeControl->DelayTime() + delay));
    }
  }
  frames.DeleteAt(j);
  return TCropResult::crDeleted;
}

bool CompactNewestFrame(TGIFImageList& frames, TCompactOptions compact) {
  const int k = frames.ItemCount() - 1;
  if (compact.Contains(coMergeUnchanged) && k >= 1) {
    MergeWithPrevious(frames.FrameAt(k), &frames.FrameAt(MergeSourceIndex(frames, k)));
  }
  return !(compact.Contains(coCropFrames) && CropFrameAt(frames, k) == TCropResult::crDeleted);
}

namespace {

constexpr const char* kOptimizing = "Optimizing...";

bool PixelsContain(const TGIFSubImage& frame, std::uint8_t value) {
  if (frame.IsBlank()) return false;
  const std::uint8_t* begin = frame.PixelData();
  return std::find(begin, begin + frame.PixelDataSize(), value) != begin + frame.PixelDataSize();
}

// Extensions the final cleanup always strips: they change nothing on screen.
bool IsStrippable(const TGIFExtension& extension) {
  return dynamic_cast<const TGIFCommentExtension*>(&extension) != nullptr ||
         dynamic_cast<const TGIFTextExtension*>(&extension) != nullptr ||
         dynamic_cast<const TGIFUnknownAppExtension*>(&extension) != nullptr;
}

// Counts the passes' steps; N0 frames make 6 * N0 steps in all, and every
// running report carries the rounded share of them done so far.
class TStepCounter {
 public:
  TStepCounter(TProgressScope& progress, int frames) : progress_(progress), total_(6 * frames) {}
  void Step(int n = 1) { step_ += n; }
  void Report() {
    progress_.Running(static_cast<int>((static_cast<long long>(step_) * 200 + total_) / (2LL * total_)));
  }

 private:
  TProgressScope& progress_;
  int total_;
  int step_ = 0;
};

void OptimizeColorMaps(TGIFImage& document, TStepCounter& steps) {
  if (!document.GlobalColors().Empty()) SortByUse(document.GlobalColors());
  TGIFImageList& frames = document.Frames();
  for (int i = 0; i < frames.ItemCount(); ++i) {
    steps.Step();
    TGIFSubImage& frame = frames.FrameAt(i);
    if (!frame.LocalColors().Empty()) {
      SortByUse(frame.LocalColors());
      steps.Report();
    }
  }
}

void DropUnusedTransparency(TGIFImage& document, TStepCounter& steps) {
  TGIFImageList& frames = document.Frames();
  for (int i = 0; i < frames.ItemCount(); ++i) {
    steps.Step();
    TGIFSubImage& frame = frames.FrameAt(i);
    TGIFGraphicControlExtension* control = TransparentControl(frame);
    if (control != nullptr && !PixelsContain(frame, control->TransparentIndex())) {
      control->SetIsTransparent(false);
      steps.Report();
    }
  }
}

// A frame that is restored (disposal 2 or 3) and then wholly covered by an
// opaque successor needs no restoring: nothing of the restored area stays
// visible. The test is that the overlap is the whole restored frame; were
// it only the whole successor (a successor inside a larger frame), dropping
// the restore would leave the frame's border on screen.
void DropRedundantDisposal(TGIFImage& document, TStepCounter& steps) {
  TGIFImageList& frames = document.Frames();
  for (int i = 0; i + 1 < frames.ItemCount(); ++i) {
    steps.Step();
    TGIFSubImage& frame = frames.FrameAt(i);
    TGIFSubImage& next = frames.FrameAt(i + 1);
    TGIFGraphicControlExtension* control = frame.ControlExtension();
    if (control == nullptr || (control->DisposalMethod() != 2 && control->DisposalMethod() != 3) ||
        next.HasTransparency()) {
      continue;
    }
    const TFrameRect ownRect = TFrameRect::Of(frame);
    const TFrameRect overlap = ownRect.Intersect(TFrameRect::Of(next));
    if (overlap.IsEmpty()) continue;
    if (overlap == ownRect) control->SetDisposalMethod(0);
    steps.Report();
  }
}

void MergeUnchanged(TGIFImage& document, TStepCounter& steps) {
  TGIFImageList& frames = document.Frames();
  for (int k = frames.ItemCount() - 1; k >= 1; --k) {
    steps.Step();
    MergeWithPrevious(frames.FrameAt(k), &frames.FrameAt(MergeSourceIndex(frames, k)));
    steps.Report();
  }
}

void CropFrames(TGIFImage& document, TStepCounter& steps) {
  TGIFImageList& frames = document.Frames();
  for (int j = frames.ItemCount() - 1; j >= 0; --j) {
    steps.Step();
    if (CropFrameAt(frames, j) != TCropResult::crSkipped) steps.Report();
  }
}

void FinalCleanup(TGIFImage& document, TStepCounter& steps) {
  TGIFImageList& frames = document.Frames();
  for (int i = frames.ItemCount() - 1; i >= 0; --i) {
    TGIFSubImage& frame = frames.FrameAt(i);
    TGIFExtensionList& extensions = frame.FrameExtensions();
    for (int e = extensions.ItemCount() - 1; e >= 0; --e) {
      const TGIFExtension& extension = extensions.ExtensionAt(e);
      const bool loop = dynamic_cast<const TGIFAppExtNSLoop*>(&extension) != nullptr;
      if (IsStrippable(extension) || (loop && (i != 0 || frames.ItemCount() == 1))) extensions.DeleteAt(e);
    }
    const bool single = frames.ItemCount() == 1;
    TGIFGraphicControlExtension* control = frame.ControlExtension();
    if (control != nullptr && (control->DelayTime() == 0 || single) && !control->IsTransparent() &&
        !control->WaitForInput() && (control->DisposalMethod() <= 1 || single)) {
      extensions.Delete(control);
    }
    if (frame.IsBlank() && extensions.ItemCount() == 0) frames.DeleteAt(i);
    steps.Report();
  }
}

}  // namespace

void CompactFrames(TGIFImage& document, TCompactOptions options, TReductionScheme scheme, TDitherKind,
                   int) {
  if (document.Empty()) return;
  TProgressScope progress(document, kOptimizing);
  TStepCounter steps(progress, document.Frames().ItemCount());

  if (options.Contains(coOptimizeColorMaps)) OptimizeColorMaps(document, steps);
  if (options.Contains(coCleanup)) {
    DropUnusedTransparency(document, steps);
    DropRedundantDisposal(document, steps);
  } else {
    steps.Step(2 * document.Frames().ItemCount());
  }
  if (options.Contains(coMergeUnchanged)) {
    MergeUnchanged(document, steps);
  } else {
    steps.Step(document.Frames().ItemCount());
  }
  if (options.Contains(coCropFrames)) {
    CropFrames(document, steps);
  } else {
    steps.Step(document.Frames().ItemCount());
  }
  steps.Step(document.Frames().ItemCount());
  if (options.Contains(coCleanup)) {
    FinalCleanup(document, steps);
  } else if (options.Contains(coReduceColors) && scheme == rsGivenPalette) {
    // Reducing to a given palette needs the palette, which this operation
    // has no way to receive.
    throw GIFException("Invalid reduction method");
  }
  progress.Succeeded();
}

}  // namespace tovasel
