#include "flic/flic_player.h"

#include <system_error>
#include <utility>

#include "flic/flic_error.h"
#include "flic/flic_play_thread.h"

namespace tovasel {

namespace {
// How long Open, Close and destruction pause after ending a play thread.
constexpr std::uint32_t kThreadEndPause = 200;
}  // namespace

TFlicPlayer32::TFlicPlayer32() = default;

TFlicPlayer32::~TFlicPlayer32() {
  if (IsOpen()) {
    const bool hadThread = HasPlayThread();
    Close();
    if (hadThread) clock_->Sleep(kThreadEndPause);
  }
  // The thread must be gone before the members it reads are.
  EndPlayThread();
}

void TFlicPlayer32::SetOptions(std::uint16_t options) {
  options_ = options;
  if (options & foClearOutputWindow) params_.OutputWindow = nullptr;
}

void TFlicPlayer32::SetStopFrame(std::int32_t frame) {
  if (!IsOpen() || frame < 0 || frame > params_.FrameCount) return;
  params_.StopFrame = frame;
}

void TFlicPlayer32::SetPlayLoops(std::int32_t loops) {
  if (loops < 0) return;
  params_.PlayLoops = loops;
}

void TFlicPlayer32::SetClock(TTickClock* clock) {
  if (thread_) return;
  clock_ = clock ? clock : &TSystemTickClock::Instance();
}

void TFlicPlayer32::SetNotifyWindow(TFlicNotifier* window) {
  if (window) {
    for (int m = 0; m < 4; ++m) messages_[m] = window->RegisterMessage(kFlicMessageNames[m]);
  }
  params_.NotifyWindow = window;
}

bool TFlicPlayer32::AddNotification(std::int32_t loop, std::int32_t frame, std::int32_t value) {
  if (!IsOpen() || params_.NotifyCount >= params_.NotifyCapacity) return false;
  const int row = ++params_.NotifyCount;
  notify_.NotifyLoops.SetItems(row, loop);
  notify_.NotifyFrames.SetItems(row, frame);
  notify_.NotifyValues.SetItems(row, value);
  return true;
}

void TFlicPlayer32::Post(TFlicMessage message, std::uintptr_t wParam, std::intptr_t lParam) {
  TFlicNotifier* window = params_.NotifyWindow;
  if (window) window->PostMessage(messages_[message], wParam, lParam);
}

void TFlicPlayer32::Open() {
  // Called from inside a play step (by a paint), the reader is in use.
  if (inStep_) return;
  params_.ErrorCode = kFlicErrorNone;
  if (IsOpen()) {
    // The pauses exist for a play thread; without one there is nothing to
    // wait for.
    const bool hadThread = HasPlayThread();
    std::string name = std::move(FileName);
    if (hadThread) {
      Stop();
      EndPlayThread();
      clock_->Sleep(kThreadEndPause);
    }
    Close();
    if (hadThread) clock_->Sleep(kThreadEndPause);
    FileName = std::move(name);
  }
  // Refusals happen here, before the surface or any buffer is sized.
  decoder_.SetLimits(limits_);
  const bool loaded = decoder_.Load(FileName);
  TakeDecoderState();
  if (!loaded) return;
  const TFlicHeader& h = decoder_.Reader().Header();

  params_.PlayState = psLoading;
  params_.NotifyCount = 0;

  params_.Speed = static_cast<std::uint16_t>(h.Speed & 0xFFFF);
  // The frames the file holds, which a damaged file may have fewer of than
  // its header counts.
  params_.FrameCount = decoder_.FrameCount();
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
  caches_.Create(params_.DisplayWidth, params_.DisplayHeight, params_.FrameCount, PreRender(), Transparent(),
                 NonClientDraw(), capture_, limits_.MaxDisplayCacheBytes);
  if (caches_.PreRendered()) {
    PreRenderFrames();
  } else {
    decoder_.DecodeFrame();
  }
  TakeDecoderState();
  caches_.CaptureBackground(params_.OutputWindow);

  if (!NoPaintLoad() && !HideFlicWindow()) Paint();
  params_.CurrentFrame = 1;
  params_.CurrentLoop = 1;
  params_.PlayState = psIdle;
  if (AutoPlay()) Play();
}

// Frames 1 .. FrameCount in order; the surface keeps the last one.
void TFlicPlayer32::PreRenderFrames() {
  for (int f = 0; f < params_.FrameCount; ++f) {
    decoder_.DecodeFrame();
    caches_.AddFrame(decoder_.Surface(), !AutoSize(), transparency_);
  }
}

void TFlicPlayer32::TakeDecoderState() {
  params_.ErrorCode = decoder_.ErrorCode();
  params_.CurrentFrame = decoder_.CurrentFrame();
  params_.CurrentLoop = decoder_.CurrentLoop();
}

void TFlicPlayer32::AdvanceFrame() {
  if (caches_.PreRendered()) {
    decoder_.SkipFrame();
  } else {
    decoder_.NextFrame();
  }
  TakeDecoderState();
}

void TFlicPlayer32::NextFrame() {
  if (!IsOpen() || params_.PlayState != psIdle) return;
  AdvanceFrame();
  Paint();
}

// Counting comes before painting, as in NextFrame, so that a rendered-ahead
// frame drawn by number is the frame the counters report.
void TFlicPlayer32::PlayStep() {
  if (!IsOpen()) return;
  struct TInStep {
    bool& Flag;
    explicit TInStep(bool& flag) : Flag(flag) { Flag = true; }
    ~TInStep() { Flag = false; }
  } inStep(inStep_);

  AdvanceFrame();
  Paint();
  const std::int32_t frame = params_.CurrentFrame;
  const std::int32_t loop = params_.CurrentLoop;
  if (!params_.NotifyWindow.load()) return;
  if (StatusMessages()) Post(fmFrame, static_cast<std::uintptr_t>(loop), frame);
  if (NotifyMessages()) {
    for (int b = 1; b <= params_.NotifyCount; ++b) {
      if (notify_.NotifyFrames.Items(b) != frame) continue;
      const std::int32_t rowLoop = notify_.NotifyLoops.Items(b);
      if (rowLoop == loop || rowLoop == 0)
        Post(fmNotify, static_cast<std::uintptr_t>(params_.NotifyParam), notify_.NotifyValues.Items(b));
    }
  }
}

void TFlicPlayer32::ThreadFinished() {
  params_.PlayState = psIdle;
  if (StatusMessages()) Post(fmStop, 0, 0);
}

void TFlicPlayer32::Play() {
  // Inside a play step the old thread still waits for that step to return,
  // so it could not be joined here.
  if (!IsOpen() || params_.PlayState != psIdle || !dispatcher_ || inStep_) return;
  // A thread that ended by itself has set psIdle as its last step; joining
  // it takes no time.
  EndPlayThread();
  gate_.Reset();
  params_.PlayState = psPlaying;
  if (HideFlicWindow() || NoPaintLoad()) Paint();
  StopRequested = false;
  TPlayThreadLinks links{&params_, &StopRequested, clock_, dispatcher_, &gate_, [this] { PlayStep(); },
                         [this] { ThreadFinished(); }};
  try {
    thread_ = std::make_unique<TFlicPlayThread>(std::move(links));
  } catch (const std::system_error&) {
    params_.PlayState = psIdle;
  }
}

bool TFlicPlayer32::EndPlayThread() {
  if (!thread_) return false;
  StopRequested = true;
  gate_.Abandon();
  thread_->Join();
  thread_.reset();
  return true;
}

// There is no safe way to end a thread forcibly, so instead every wait of
// the play thread can be cut short: the gate releases a step that waits for
// this thread and the timing loop watches StopRequested. The join below is
// therefore prompt, and ThreadWait is not needed as a limit.
void TFlicPlayer32::Stop() {
  if (!IsOpen()) return;
  if (params_.PlayState == psPlaying && thread_) {
    StopRequested = true;
    gate_.Abandon();
    // From inside a play step the thread cannot end before the step
    // returns; it is joined by the next Play, Open, Close or destruction.
    if (!inStep_) {
      thread_->Join();
      thread_.reset();
    }
    if (StatusMessages()) Post(fmStop, 0, 0);
    if (HideFlicWindow()) {
      HideFrame();
    } else {
      Paint();
    }
  }
  params_.PlayState = psIdle;
}

void TFlicPlayer32::Close() {
  if (!IsOpen() || inStep_) return;
  if (HasPlayThread()) {
    Stop();
    EndPlayThread();
    clock_->Sleep(kThreadEndPause);
  }
  params_.NotifyCount = 0;
  caches_.Free();
  decoder_.Close();
  TakeDecoderState();
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
  TOutputWindow* target = params_.OutputWindow;
  if (!target) return;
  const std::int32_t left = params_.DisplayLeft;
  const std::int32_t top = params_.DisplayTop;
  if (caches_.PreRendered()) {
    caches_.DrawCached(params_.CurrentFrame, target, left, top, NonClientDraw());
    return;
  }
  if (caches_.Transparent()) {
    caches_.DrawTransparent(decoder_.Surface(), !AutoSize(), transparency_, target, left, top);
    return;
  }
  const TRect dest = FrameRect();
  TRect source;
  if (AutoSize()) {
    source = TRect{params_.SourceX, params_.SourceY, params_.SourceX + params_.DisplayWidth,
                   params_.SourceY + params_.DisplayHeight};
  } else {
    source = TRect{params_.SourceX, params_.SourceY, params_.SourceX + decoder_.Surface().Width(),
                   params_.SourceY + decoder_.Surface().Height()};
  }
  target->DrawFrame(decoder_.Surface(), source, dest, NonClientDraw());
}

void TFlicPlayer32::HideFrame() {
  TOutputWindow* target = params_.OutputWindow;
  if (!target) return;
  if (caches_.Transparent()) {
    caches_.RestoreBackground(target, params_.DisplayLeft, params_.DisplayTop);
  } else {
    target->Invalidate(FrameRect());
  }
}

}  // namespace tovasel
