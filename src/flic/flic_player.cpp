#include "flic/flic_player.h"

#include <utility>

#include "flic/flic_error.h"

namespace tovasel {

TFlicPlayer32::TFlicPlayer32() : surface_(4, 4) { surface_.Clear(); }

TFlicPlayer32::~TFlicPlayer32() { Close(); }

void TFlicPlayer32::SetOptions(std::uint16_t options) {
  options_ = options;
  if (options & foClearOutputWindow) params_.OutputWindow = nullptr;
}

void TFlicPlayer32::SetStopFrame(std::int32_t frame) {
  if (!open_ || frame < 0 || frame > params_.FrameCount) return;
  params_.StopFrame = frame;
}

void TFlicPlayer32::SetPlayLoops(std::int32_t loops) {
  if (loops < 0) return;
  params_.PlayLoops = loops;
}

void TFlicPlayer32::Open() {
  params_.ErrorCode = kFlicErrorNone;
  // The 200 ms pauses around this Close exist for a play thread; there is
  // none, so there is nothing to wait for.
  if (open_) {
    std::string name = std::move(FileName);
    Close();
    FileName = std::move(name);
  }
  if (FileName.empty()) {
    params_.ErrorCode = kFlicErrorFile;
    return;
  }
  // Refusals happen here, before the surface or any buffer is sized.
  const TFlicLoadResult loaded = reader_.Load(FileName);
  if (!loaded.Opened) {
    params_.ErrorCode = loaded.ErrorCode;
    return;
  }
  const TFlicHeader& h = reader_.Header();

  params_.CurrentFrame = 1;
  params_.CurrentLoop = 1;
  open_ = true;
  params_.PlayState = psLoading;
  params_.NotifyCount = 0;

  // One resize to the final size: setting the width against the previous
  // file's height first could ask for a far larger store than either file.
  surface_.SetSize(h.Width, h.Height);

  params_.Speed = static_cast<std::uint16_t>(h.Speed & 0xFFFF);
  params_.FrameCount = h.Frames;
  params_.FrameWidth = h.Width;
  params_.FrameHeight = h.Height;
  params_.FileSize = h.Size;
  params_.Depth = h.Depth;
  params_.Flags = h.Flags;
  params_.RatioX = h.RatioX;
  params_.RatioY = h.RatioY;
  params_.FirstFrameOffset = h.FirstFrame;
  params_.SecondFrameOffset = h.SecondFrame;
  if (AutoSize()) {
    params_.DisplayWidth = h.Width;
    params_.DisplayHeight = h.Height;
  }
  RaiseError(loaded.ErrorCode);

  startPalette_ = palette_;
  RaiseError(reader_.DecodeFrame(surface_, palette_));

  if (!NoPaintLoad() && !HideFlicWindow()) Paint();
  params_.CurrentFrame = 1;
  params_.CurrentLoop = 1;
  params_.PlayState = psIdle;
}

void TFlicPlayer32::RestartFromFirstFrame() {
  surface_.Clear();
  palette_ = startPalette_;
  surface_.SetPalette(palette_.LogPalette());
  reader_.Rewind();
  RaiseError(reader_.DecodeFrame(surface_, palette_));
}

void TFlicPlayer32::NextFrame() {
  if (!open_ || params_.PlayState != psIdle) return;
  const bool wraps = params_.CurrentFrame >= params_.FrameCount;
  if (wraps && !reader_.HasRingFrame()) {
    RestartFromFirstFrame();
  } else {
    RaiseError(reader_.DecodeFrame(surface_, palette_));
  }
  params_.CurrentFrame += 1;
  if (params_.CurrentFrame > params_.FrameCount) {
    params_.CurrentFrame = 1;
    params_.CurrentLoop += 1;
  }
  Paint();
}

void TFlicPlayer32::Close() {
  if (!open_) return;
  open_ = false;
  params_.NotifyCount = 0;
  params_.CurrentFrame = 0;
  params_.CurrentLoop = 0;
  reader_.Release();
  FileName.clear();
  params_.PlayState = psClosed;
  if (params_.OutputWindow) params_.OutputWindow->Invalidate(FrameRect());
}

TRect TFlicPlayer32::FrameRect() const {
  return TRect{params_.DisplayLeft, params_.DisplayTop, params_.DisplayLeft + params_.DisplayWidth,
               params_.DisplayTop + params_.DisplayHeight};
}

void TFlicPlayer32::Paint() {
  // Without a window nothing is drawn: never straight onto the screen.
  if (!params_.OutputWindow) return;
  const TRect dest = FrameRect();
  TRect source;
  if (AutoSize()) {
    source = TRect{params_.SourceX, params_.SourceY, params_.SourceX + params_.DisplayWidth,
                   params_.SourceY + params_.DisplayHeight};
  } else {
    source = TRect{params_.SourceX, params_.SourceY, params_.SourceX + surface_.Width(),
                   params_.SourceY + surface_.Height()};
  }
  params_.OutputWindow->DrawFrame(surface_, source, dest, NonClientDraw());
}

void TFlicPlayer32::HideFrame() {
  if (params_.OutputWindow) params_.OutputWindow->Invalidate(FrameRect());
}

}  // namespace tovasel
