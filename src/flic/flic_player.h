#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "flic/display_caches.h"
#include "flic/flic_decoder.h"
#include "flic/flic_notifier.h"
#include "flic/flic_reader.h"
#include "flic/flic_surface.h"
#include "flic/notify_table.h"
#include "flic/output_window.h"
#include "flic/palette.h"
#include "flic/play_dispatcher.h"
#include "flic/screen_capture.h"
#include "flic/synchronized_step.h"
#include "flic/tick_clock.h"

namespace tovasel {

enum TPlayState : std::uint8_t { psClosed = 0, psIdle = 1, psLoading = 2, psPlaying = 3 };

enum class TThreadPriority : std::uint8_t { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// Bits of TFlicPlayer32::Options. Three of them are set when the property
// they stand for is false.
enum TFlicOption : std::uint16_t {
  foPreRender = 0x0001,
  foHideFlicWindow = 0x0002,
  foClearOutputWindow = 0x0020,
  foNoNotifyMessages = 0x0040,
  foNoStatusMessages = 0x0080,
  foNoPaintLoad = 0x0200,
  foTransparent = 0x0800,
  foNonClientDraw = 0x1000,
  foNoAutoSize = 0x2000,
  foAutoPlay = 0x4000,
};

class TFlicPlayThread;

// The player's parameter and state record, the part a play thread reads and
// writes alongside the player. The fields the play thread reads while the
// player's thread writes them (or the other way round) are atomic, so the two
// threads never race on them.
struct TFlicParams {
  std::atomic<TPlayState> PlayState{psClosed};
  std::atomic<TFlicNotifier*> NotifyWindow{nullptr};  // not owned
  TOutputWindow* OutputWindow = nullptr;  // not owned
  std::int32_t DisplayLeft = 0;
  std::int32_t DisplayTop = 0;
  std::int32_t DisplayWidth = 320;
  std::int32_t DisplayHeight = 200;
  std::int32_t SourceX = 0;
  std::int32_t SourceY = 0;
  std::atomic<std::uint16_t> Speed{0};
  std::uint16_t FrameWidth = 0;
  std::uint16_t FrameHeight = 0;
  std::uint16_t FrameCount = 0;
  std::atomic<std::int32_t> CurrentFrame{0};
  std::atomic<std::int32_t> CurrentLoop{0};
  std::atomic<std::int32_t> StopFrame{0};
  std::atomic<std::int32_t> PlayLoops{0};
  std::uint32_t FileSize = 0;
  std::uint16_t Depth = 0;
  std::uint16_t Flags = 0;
  std::uint16_t RatioX = 0;
  std::uint16_t RatioY = 0;
  std::uint32_t FirstFrameOffset = 0;
  std::uint32_t SecondFrameOffset = 0;
  std::int32_t NotifyCount = 0;
  std::int32_t NotifyCapacity = TNotifyTable::kCapacity;
  std::uint32_t ErrorCode = 0;
  std::int32_t NotifyParam = 0;
};

// Opens a FLIC file, steps through its frames one at a time into an 8-bit
// surface with its palette (the walk is its TFlicDecoder's), and paints the
// current frame into an output window. Problems are recorded in ErrorCode, never raised (apart from memory
// exhaustion); calls that do not apply in the current state are ignored.
//
// Stepping shows the frames in file order and comes back to frame 1 after
// FrameCount steps. A file with a ring frame gets there by decoding it; a
// file without one is decoded again from frame 1 on a cleared picture with
// the palette it started from, so the picture after FrameCount steps equals
// the picture after Open either way.
//
// Play shows the animation by itself: a play thread times the frames and
// hands each step to the player's thread through the play dispatcher, so
// decoding and painting always happen on the player's thread. Without a
// dispatcher there is no way to reach that thread and Play does nothing.
// Every operation, apart from the clock, notifier and dispatcher calls the
// play thread makes, runs on the player's thread. Called from inside a play
// step (from a paint), Stop ends playing without waiting for the thread, and
// Play, Open and Close are ignored; the player must not be destroyed there.
class TFlicPlayer32 {
 public:
  static constexpr const char* kVersion = "2.24c";

  TFlicPlayer32();
  ~TFlicPlayer32();
  TFlicPlayer32(const TFlicPlayer32&) = delete;
  TFlicPlayer32& operator=(const TFlicPlayer32&) = delete;

  // The file that Open loads; Close empties it.
  std::string FileName;
  // Polled by the play thread to end its loop.
  std::atomic<bool> StopRequested{false};

  // Loads FileName and decodes frame 1 onto the surface. A missing, unreadable
  // or refused file leaves the player closed with ErrorCode 262 (and the
  // reason in OpenFailure); a file shorter than its header says opens with
  // 262, one holding fewer frames than its header counts with 770.
  void Open();
  // Decodes the next frame of the walk and paints it; only when open and idle.
  void NextFrame();
  // Frees the file; the surface keeps its last picture and the working
  // palette its colours.
  void Close();
  // Draws the current frame into the output window; nothing without one.
  void Paint();
  // Has the output window repaint the frame's area without the frame (puts
  // the captured background back with Transparent).
  void HideFrame();
  // Starts the play thread; only when open and idle and a dispatcher is set.
  void Play();
  // Ends playing and waits until the play thread has ended; only when open.
  // A step the play thread has queued but not started is dropped.
  void Stop();

  bool IsOpen() const { return decoder_.IsOpen(); }
  TPlayState PlayState() const { return params_.PlayState; }
  std::uint32_t ErrorCode() const { return params_.ErrorCode; }
  // Why the last Open refused its file (see TFlicDecoder::OpenFailure).
  const std::string& OpenFailure() const { return decoder_.OpenFailure(); }
  // Where the damage starts (see TFlicDecoder::FirstDamagedFrame).
  int FirstDamagedFrame() const { return decoder_.FirstDamagedFrame(); }
  bool DamagedFramePartial() const { return decoder_.DamagedFramePartial(); }
  // Frames of the walk, the ring frame not included: the header's count, or
  // the frames present in a file that holds fewer; 0 while closed.
  std::uint16_t FrameCount() const { return IsOpen() ? params_.FrameCount : 0; }
  // Low 16 bits of the header speed; 0 while closed.
  std::uint16_t Speed() const { return IsOpen() ? params_.Speed.load() : std::uint16_t{0}; }
  std::int32_t CurrentFrame() const { return params_.CurrentFrame; }
  std::int32_t CurrentLoop() const { return params_.CurrentLoop; }
  bool HasRingFrame() const { return decoder_.HasRingFrame(); }
  // True while a play thread object exists, running or ended but not joined.
  bool HasPlayThread() const { return thread_ != nullptr; }

  std::int32_t StopFrame() const { return params_.StopFrame; }
  // Accepted only while open and for 0 .. FrameCount.
  void SetStopFrame(std::int32_t frame);
  std::int32_t PlayLoops() const { return params_.PlayLoops; }
  // Negative values are ignored.
  void SetPlayLoops(std::int32_t loops);

  TFlicSurface& Surface() { return decoder_.Surface(); }
  const TFlicSurface& Surface() const { return decoder_.Surface(); }
  const TPalette& Palette() const { return decoder_.Palette(); }
  const TFlicParams& FlicParams() const { return params_; }
  const TFlicReader& Reader() const { return decoder_.Reader(); }

  // Where play steps are sent to run on the player's thread; not owned.
  void SetPlayDispatcher(TPlayDispatcher* dispatcher) { dispatcher_ = dispatcher; }
  // The tick count for playback and the pauses around Close; not owned. Null
  // restores the system clock. Only while no play thread exists.
  void SetClock(TTickClock* clock);
  // Copies the screen for Transparent; not owned. Used at the next Open.
  void SetScreenCapture(TScreenCapture* capture) { capture_ = capture; }

  // The receiver of the four registered messages; null (the default) posts
  // nothing. Setting one registers the names with it.
  void SetNotifyWindow(TFlicNotifier* window);
  TFlicNotifier* NotifyWindow() const { return params_.NotifyWindow; }
  std::uint32_t MessageNumber(TFlicMessage message) const { return messages_[message]; }
  // Value sent as wParam of "FlicPlayer32 Notify".
  void SetNotifyParam(std::int32_t v) { params_.NotifyParam = v; }
  // Adds a row: after a step shows `frame` in loop `loop` (0 = any loop),
  // post "FlicPlayer32 Notify" with `value`. False when the table is full or
  // no file is open (Open and Close empty the table).
  bool AddNotification(std::int32_t loop, std::int32_t frame, std::int32_t value);
  std::int32_t NotifyCount() const { return params_.NotifyCount; }

  // The display caches, present from Open to Close when PreRender or
  // Transparent was set at Open.
  const TBitmap& FrameBitmapCache() const { return caches_.FrameBitmapCache(); }
  const std::vector<TBitmap>& PreRenderList() const { return caches_.PreRenderList(); }
  const TFlicList* FlicList() const { return caches_.FlicList(); }

  TOutputWindow* OutputWindow() const { return params_.OutputWindow; }
  void SetOutputWindow(TOutputWindow* window) { params_.OutputWindow = window; }
  void SetDisplayLeft(std::int32_t v) { params_.DisplayLeft = v; }
  void SetDisplayTop(std::int32_t v) { params_.DisplayTop = v; }
  std::int32_t DisplayLeft() const { return params_.DisplayLeft; }
  std::int32_t DisplayTop() const { return params_.DisplayTop; }
  std::int32_t DisplayWidth() const { return params_.DisplayWidth; }
  std::int32_t DisplayHeight() const { return params_.DisplayHeight; }
  void SetDisplayWidth(std::int32_t v) { params_.DisplayWidth = v; }
  void SetDisplayHeight(std::int32_t v) { params_.DisplayHeight = v; }

  // Published properties. The boolean ones live in the Options word.
  std::uint16_t Options() const { return options_; }
  // Sets every property from its bit; bit 5 also forgets the output window.
  void SetOptions(std::uint16_t options);

  bool PreRender() const { return Bit(foPreRender); }
  void SetPreRender(bool v) { SetBit(foPreRender, v); }
  bool HideFlicWindow() const { return Bit(foHideFlicWindow); }
  void SetHideFlicWindow(bool v) { SetBit(foHideFlicWindow, v); }
  bool NotifyMessages() const { return !Bit(foNoNotifyMessages); }
  void SetNotifyMessages(bool v) { SetBit(foNoNotifyMessages, !v); }
  bool StatusMessages() const { return !Bit(foNoStatusMessages); }
  void SetStatusMessages(bool v) { SetBit(foNoStatusMessages, !v); }
  bool NoPaintLoad() const { return Bit(foNoPaintLoad); }
  void SetNoPaintLoad(bool v) { SetBit(foNoPaintLoad, v); }
  bool Transparent() const { return Bit(foTransparent); }
  void SetTransparent(bool v) { SetBit(foTransparent, v); }
  bool NonClientDraw() const { return Bit(foNonClientDraw); }
  void SetNonClientDraw(bool v) { SetBit(foNonClientDraw, v); }
  bool AutoSize() const { return !Bit(foNoAutoSize); }
  void SetAutoSize(bool v) { SetBit(foNoAutoSize, !v); }
  bool AutoPlay() const { return Bit(foAutoPlay); }
  void SetAutoPlay(bool v) { SetBit(foAutoPlay, v); }

  bool SoundLooping() const { return soundLooping_; }
  void SetSoundLooping(bool v) { soundLooping_ = v; }
  std::uint16_t ThreadWait() const { return threadWait_; }
  void SetThreadWait(std::uint16_t ms) { threadWait_ = ms; }
  TThreadPriority ThreadPriority() const { return threadPriority_; }
  void SetThreadPriority(TThreadPriority p) { threadPriority_ = p; }
  // Colour value: red in bits 0-7, green 8-15, blue 16-23.
  std::uint32_t Transparency() const { return transparency_; }
  void SetTransparency(std::uint32_t colour) { transparency_ = colour & 0xFFFFFF; }
  std::uint8_t TransparencyRed() const { return transparency_ & 0xFF; }
  std::uint8_t TransparencyGreen() const { return (transparency_ >> 8) & 0xFF; }
  std::uint8_t TransparencyBlue() const { return (transparency_ >> 16) & 0xFF; }
  void SetTransparencyRed(std::uint8_t v) { transparency_ = (transparency_ & 0xFFFF00) | v; }
  void SetTransparencyGreen(std::uint8_t v) { transparency_ = (transparency_ & 0xFF00FF) | (std::uint32_t{v} << 8); }
  void SetTransparencyBlue(std::uint8_t v) { transparency_ = (transparency_ & 0x00FFFF) | (std::uint32_t{v} << 16); }
  const char* Version() const { return kVersion; }
  // The largest picture Open accepts and the largest display caches it
  // builds; taken at the next Open.
  const TLimits& Limits() const { return limits_; }
  void SetLimits(const TLimits& limits) { limits_ = limits; }

 private:
  bool Bit(std::uint16_t bit) const { return (options_.load() & bit) != 0; }
  void SetBit(std::uint16_t bit, bool on) {
    if (on)
      options_.fetch_or(bit);
    else
      options_.fetch_and(static_cast<std::uint16_t>(~bit));
  }
  // Copies the error code and the counters from the decoder into the
  // parameter record, where the play thread reads them.
  void TakeDecoderState();
  // Decodes the next frame of the walk (unless it was rendered at Open) and
  // counts it.
  void AdvanceFrame();
  // One frame of playing, on the player's thread.
  void PlayStep();
  // The play thread's last act, on the play thread.
  void ThreadFinished();
  void Post(TFlicMessage message, std::uintptr_t wParam, std::intptr_t lParam);
  // Stops and joins any play thread; true when there was one.
  bool EndPlayThread();
  void PreRenderFrames();
  TRect FrameRect() const;

  TFlicParams params_;
  TFlicDecoder decoder_;
  std::atomic<std::uint16_t> options_{0};
  bool soundLooping_ = false;
  std::uint16_t threadWait_ = 500;
  TThreadPriority threadPriority_ = TThreadPriority::tpNormal;
  std::uint32_t transparency_ = 0;
  TLimits limits_;

  TNotifyTable notify_;
  std::atomic<std::uint32_t> messages_[4] = {};

  // Which caches exist was decided at Open, whatever the options say now.
  TDisplayCaches caches_;
  TScreenCapture* capture_ = nullptr;

  TTickClock* clock_ = &TSystemTickClock::Instance();
  TPlayDispatcher* dispatcher_ = nullptr;
  TSynchronizedStep gate_;
  bool inStep_ = false;
  // Declared last so that it is destroyed (joined) before anything it uses.
  std::unique_ptr<TFlicPlayThread> thread_;
};

}  // namespace tovasel
