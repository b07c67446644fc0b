// Timed playback: step timing against a driven clock, the end conditions,
// Stop from every point of a step, and the player's lifetime around its
// play thread.
#include <memory>

#include "playback_test_support.h"

namespace tovasel::testing {
namespace {

constexpr int kWidth = 24;
constexpr int kHeight = 16;

// A player wired to a test clock, a queue for its own thread and a
// recording window.
struct TPlaybackRig {
  explicit TPlaybackRig(const fw::TFlicLayout& layout, bool frozenClock = false)
      : File(layout), Clock(1000, frozenClock), Window(&Clock), Player(std::make_unique<TFlicPlayer32>()) {
    Player->SetClock(&Clock);
    Player->SetPlayDispatcher(&Dispatcher);
    Player->SetOutputWindow(&Window);
    Player->SetNotifyWindow(&Notifier);
    OpenIn(*Player, File.Path());
  }
  // Plays until the thread reports its end by itself.
  void PlayToEnd() {
    Player->Play();
    // A thread with nothing to play may already have ended.
    ASSERT_TRUE(Player->HasPlayThread());
    ASSERT_TRUE(Dispatcher.RunUntil([&] { return Player->PlayState() == psIdle; }));
  }
  std::uint32_t Msg(TFlicMessage m) const { return Player->MessageNumber(m); }

  TTempFlic File;
  TTestClock Clock;
  TQueueDispatcher Dispatcher;
  TPlaybackWindow Window;
  TRecordingNotifier Notifier;
  std::unique_ptr<TFlicPlayer32> Player;
};

struct TTimingCase {
  const char* Name;
  std::uint32_t Speed;
};

class StepTiming : public ::testing::TestWithParam<TTimingCase> {};

// A step may start only once the previous one's Speed ms have passed, and
// the spin ends on the first tick after that.
TEST_P(StepTiming, StepsStartSpeedTicksApart) {
  const TTimingCase& c = GetParam();
  TPlaybackRig rig(PlaybackAnimation(6, c.Speed));
  rig.Player->SetStopFrame(6);
  const std::size_t before = rig.Window.Draws.size();
  rig.PlayToEnd();
  ASSERT_EQ(rig.Window.Draws.size() - before, 5u);
  for (std::size_t i = before + 1; i < rig.Window.Draws.size(); ++i) {
    const std::uint32_t gap = rig.Window.Draws[i].Tick - rig.Window.Draws[i - 1].Tick;
    EXPECT_GE(gap, c.Speed) << "step " << i;
    EXPECT_GE(gap, 1u) << "a speed of 0 still waits for the tick to move";
    EXPECT_LE(gap, c.Speed + 1) << "step " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Player, StepTiming,
                         ::testing::Values(TTimingCase{"Speed100", 100}, TTimingCase{"Speed0", 0},
                                           TTimingCase{"Speed7", 7}, TTimingCase{"Speed65535", 65535}),
                         [](const auto& info) { return std::string(info.param.Name); });

// The deadline is compared as a distance, so a tick count that wraps during a
// frame does not cut the frame short.
TEST(PlayThread, TimingSurvivesTheTickCountWrapping) {
  TPlaybackRig rig(PlaybackAnimation(4, 100));
  rig.Clock.Sleep(0xFFFFFFFFu - 1000 - 150);  // 150 ticks before the wrap
  rig.Player->SetStopFrame(4);
  const std::size_t before = rig.Window.Draws.size();
  rig.PlayToEnd();
  ASSERT_EQ(rig.Window.Draws.size() - before, 3u);
  for (std::size_t i = before + 1; i < rig.Window.Draws.size(); ++i)
    EXPECT_EQ(rig.Window.Draws[i].Tick - rig.Window.Draws[i - 1].Tick, 101u);
}

struct TEndCase {
  const char* Name;
  int Frames;
  int StopFrame;
  int PlayLoops;
  int Steps;
  int EndFrame;
  int EndLoop;
};

class EndConditions : public ::testing::TestWithParam<TEndCase> {};

TEST_P(EndConditions, StopWhereTheyShould) {
  const TEndCase& c = GetParam();
  TPlaybackRig rig(PlaybackAnimation(c.Frames, 0));
  rig.Player->SetStopFrame(c.StopFrame);
  rig.Player->SetPlayLoops(c.PlayLoops);
  const std::size_t before = rig.Window.Draws.size();
  rig.PlayToEnd();
  EXPECT_EQ(static_cast<int>(rig.Window.Draws.size() - before), c.Steps);
  EXPECT_EQ(rig.Player->CurrentFrame(), c.EndFrame);
  EXPECT_EQ(rig.Player->CurrentLoop(), c.EndLoop);
  EXPECT_EQ(DifferingPixels(PictureOf(rig.Player->Surface()), PlaybackPicture(c.EndFrame - 1, kWidth, kHeight)), 0);
  // The thread's end is reported once, and a new Play is possible.
  const auto messages = rig.Notifier.Messages();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back(), (TRecordingNotifier::TMessage{rig.Msg(fmStop), 0, 0}));
  EXPECT_EQ(static_cast<int>(messages.size()), c.Steps + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Player, EndConditions,
    ::testing::Values(TEndCase{"StopFrameIsFrameCount", 5, 5, 0, 4, 5, 1},
                      TEndCase{"StopFrameAlreadyReached", 5, 1, 0, 0, 1, 1},
                      TEndCase{"OnePassEndsOnFrameOne", 4, 0, 1, 4, 1, 2},
                      TEndCase{"TwoLoopsEndInLoopThree", 5, 0, 2, 10, 1, 3},
                      TEndCase{"StopFrameWinsOverPlayLoops", 5, 3, 2, 2, 3, 1}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(PlayThread, FileWithoutRingFrameLoopsToItsFirstPicture) {
  TPlaybackRig rig(PlaybackAnimation(3, 0, kWidth, kHeight, false));
  rig.Player->SetPlayLoops(2);
  rig.PlayToEnd();
  EXPECT_EQ(rig.Player->CurrentLoop(), 3);
  EXPECT_EQ(DifferingPixels(PictureOf(rig.Player->Surface()), PlaybackPicture(0, kWidth, kHeight)), 0);
}

TEST(PlayThread, PostsFrameAndNotificationRowsInRowOrder) {
  TPlaybackRig rig(PlaybackAnimation(3, 0));
  rig.Player->SetNotifyParam(42);
  EXPECT_TRUE(rig.Player->AddNotification(2, 1, 500));  // frame 1 of loop 2
  EXPECT_TRUE(rig.Player->AddNotification(0, 3, 300));  // frame 3 of any loop
  EXPECT_TRUE(rig.Player->AddNotification(1, 3, 301));
  rig.Player->SetPlayLoops(2);
  rig.PlayToEnd();

  using M = TRecordingNotifier::TMessage;
  const std::uint32_t frame = rig.Msg(fmFrame);
  const std::uint32_t notify = rig.Msg(fmNotify);
  const std::vector<M> expected{
      {frame, 1, 2}, {frame, 1, 3}, {notify, 42, 300}, {notify, 42, 301}, {frame, 2, 1}, {notify, 42, 500},
      {frame, 2, 2}, {frame, 2, 3}, {notify, 42, 300}, {frame, 3, 1}, {rig.Msg(fmStop), 0, 0},
  };
  EXPECT_EQ(rig.Notifier.Messages(), expected);
  EXPECT_EQ(rig.Notifier.Names,
            (std::vector<std::string>{"FlicPlayer32 Notify", "FlicPlayer32 Stop", "FlicPlayer32 Frame",
                                      "FlicPlayer32 Redim"}));
}

TEST(PlayThread, NotificationTableHoldsTwentyRowsAndEmptiesOnClose) {
  TPlaybackRig rig(PlaybackAnimation(2, 0));
  for (int i = 0; i < 20; ++i) EXPECT_TRUE(rig.Player->AddNotification(0, 1, i));
  EXPECT_FALSE(rig.Player->AddNotification(0, 1, 20));
  rig.Player->Close();
  EXPECT_EQ(rig.Player->NotifyCount(), 0);
  EXPECT_FALSE(rig.Player->AddNotification(0, 1, 0));
}

TEST(PlayThread, SwitchedOffMessagesAreNotPosted) {
  TPlaybackRig rig(PlaybackAnimation(3, 0));
  rig.Player->SetStatusMessages(false);
  rig.Player->SetNotifyMessages(false);
  rig.Player->AddNotification(0, 2, 1);
  rig.Player->SetStopFrame(3);
  rig.PlayToEnd();
  EXPECT_TRUE(rig.Notifier.Messages().empty());
}

// Stop from the player's thread at the two points where the play thread can
// be: waiting for its step to run, or spinning out the frame's time.
enum class TStopPoint { spStepQueued, spTiming };
struct TStopCase {
  const char* Name;
  TStopPoint Point;
  bool HideFlicWindow;
};

class StopWhilePlaying : public ::testing::TestWithParam<TStopCase> {};

TEST_P(StopWhilePlaying, EndsTheThreadWithoutRunningAQueuedStep) {
  const TStopCase& c = GetParam();
  // A frozen clock keeps the thread in its timing loop until Stop.
  TPlaybackRig rig(PlaybackAnimation(5, 10), c.Point == TStopPoint::spTiming);
  rig.Player->SetHideFlicWindow(c.HideFlicWindow);
  rig.Player->Play();
  ASSERT_TRUE(rig.Dispatcher.WaitForTask());
  if (c.Point == TStopPoint::spTiming) {
    ASSERT_TRUE(rig.Dispatcher.RunOne());
  }
  const int frame = rig.Player->CurrentFrame();
  const std::size_t draws = rig.Window.Draws.size();

  rig.Player->Stop();
  EXPECT_EQ(rig.Player->PlayState(), psIdle);
  EXPECT_FALSE(rig.Player->HasPlayThread());
  // Whatever was queued is now dead.
  while (rig.Dispatcher.RunOne()) {
  }
  EXPECT_EQ(rig.Player->CurrentFrame(), frame);
  if (c.HideFlicWindow) {
    EXPECT_EQ(rig.Window.Draws.size(), draws);
    EXPECT_FALSE(rig.Window.Invalidated.empty());
  } else {
    EXPECT_EQ(rig.Window.Draws.size(), draws + 1) << "Stop paints the current frame";
  }
  EXPECT_EQ(rig.Notifier.Messages().back(), (TRecordingNotifier::TMessage{rig.Msg(fmStop), 0, 0}));

  // The player can play again.
  rig.Clock.SetFrozen(false);
  rig.Player->SetStopFrame(frame + 1);
  rig.PlayToEnd();
  EXPECT_EQ(rig.Player->CurrentFrame(), frame + 1);
}

INSTANTIATE_TEST_SUITE_P(Player, StopWhilePlaying,
                         ::testing::Values(TStopCase{"StepQueued", TStopPoint::spStepQueued, false},
                                           TStopCase{"Timing", TStopPoint::spTiming, false},
                                           TStopCase{"StepQueuedHidden", TStopPoint::spStepQueued, true}),
                         [](const auto& info) { return std::string(info.param.Name); });

// A window that stops the player while painting a play step.
class TStoppingWindow : public TPlaybackWindow {
 public:
  void DrawFrame(const TFlicSurface& s, const TRect& source, const TRect& dest, bool whole) override {
    TPlaybackWindow::DrawFrame(s, source, dest, whole);
    if (Player && Player->PlayState() == psPlaying) {
      Player->Stop();
      Player->Play();  // ignored: the old thread waits for this very step
      Player->Close();  // ignored: the step still uses the file
    }
  }
  TFlicPlayer32* Player = nullptr;
};

TEST(PlayThread, StopFromInsideAStepDoesNotWaitForItself) {
  TPlaybackRig rig(PlaybackAnimation(5, 0));
  TStoppingWindow window;
  rig.Player->SetOutputWindow(&window);
  rig.Player->Play();
  window.Player = rig.Player.get();
  ASSERT_TRUE(rig.Dispatcher.WaitForTask());
  ASSERT_TRUE(rig.Dispatcher.RunOne());
  EXPECT_EQ(rig.Player->PlayState(), psIdle);
  EXPECT_TRUE(rig.Player->IsOpen());
  EXPECT_EQ(rig.Player->CurrentFrame(), 2);
  window.Player = nullptr;
  rig.Player->Close();  // joins the thread that ended after the step
  EXPECT_FALSE(rig.Player->HasPlayThread());
}

TEST(PlayThread, PlayActsOnlyOnAnOpenIdlePlayerWithADispatcher) {
  TTestClock clock;
  TQueueDispatcher dispatcher;
  TFlicPlayer32 closed;
  closed.SetPlayDispatcher(&dispatcher);
  closed.Play();
  EXPECT_EQ(closed.PlayState(), psClosed);
  EXPECT_FALSE(closed.HasPlayThread());

  TTempFlic file(PlaybackAnimation(3, 0));
  TFlicPlayer32 noDispatcher;
  OpenIn(noDispatcher, file.Path());
  noDispatcher.Play();
  EXPECT_EQ(noDispatcher.PlayState(), psIdle);
  EXPECT_FALSE(noDispatcher.HasPlayThread());

  TPlaybackRig rig(PlaybackAnimation(3, 0));
  rig.Player->Play();
  ASSERT_TRUE(rig.Dispatcher.WaitForTask());
  rig.Player->Play();  // ignored: already playing
  rig.Player->NextFrame();  // ignored while playing
  EXPECT_EQ(rig.Player->CurrentFrame(), 1);
  EXPECT_EQ(rig.Dispatcher.Pending(), 1u);
  rig.Player->Stop();
  EXPECT_EQ(rig.Player->PlayState(), psIdle);
}

TEST(PlayThread, AutoPlayStartsPlayingAtOpen) {
  TTestClock clock;
  TQueueDispatcher dispatcher;
  TTempFlic file(PlaybackAnimation(3, 0));
  TFlicPlayer32 player;
  player.SetClock(&clock);
  player.SetPlayDispatcher(&dispatcher);
  player.SetAutoPlay(true);
  OpenIn(player, file.Path());
  EXPECT_EQ(player.PlayState(), psPlaying);
  ASSERT_TRUE(dispatcher.RunUntil([&] { return player.CurrentFrame() == 3; }));
  player.Stop();
  EXPECT_EQ(player.PlayState(), psIdle);
}

TEST(PlayThread, PausesAroundCloseOnlyWhenAThreadExisted) {
  TPlaybackRig rig(PlaybackAnimation(3, 0));
  rig.Player->Close();
  OpenIn(*rig.Player, rig.File.Path());
  OpenIn(*rig.Player, rig.File.Path());
  EXPECT_TRUE(rig.Clock.Sleeps().empty());

  rig.Player->Play();
  ASSERT_TRUE(rig.Dispatcher.WaitForTask());
  rig.Player->Close();
  EXPECT_EQ(rig.Player->PlayState(), psClosed);
  EXPECT_EQ(rig.Clock.Sleeps(), (std::vector<std::uint32_t>{200}));

  OpenIn(*rig.Player, rig.File.Path());
  rig.Player->Play();
  ASSERT_TRUE(rig.Dispatcher.WaitForTask());
  OpenIn(*rig.Player, rig.File.Path());  // Stop, pause, Close, pause
  EXPECT_EQ(rig.Player->PlayState(), psIdle);
  EXPECT_EQ(rig.Clock.Sleeps(), (std::vector<std::uint32_t>{200, 200, 200}));
}

// The queued step outlives the player; running it afterwards must not reach
// the destroyed player (the address sanitizer run watches for that).
TEST(PlayThread, DestroyingAPlayingPlayerLeavesItsQueuedStepHarmless) {
  TPlaybackRig rig(PlaybackAnimation(4, 0));
  rig.Player->Play();
  ASSERT_TRUE(rig.Dispatcher.WaitForTask());
  rig.Player.reset();
  // Close pauses after ending the thread, and destruction after Close.
  EXPECT_EQ(rig.Clock.Sleeps(), (std::vector<std::uint32_t>{200, 200}));
  const std::size_t draws = rig.Window.Draws.size();
  ASSERT_GE(rig.Dispatcher.Pending(), 1u);
  while (rig.Dispatcher.RunOne()) {
  }
  EXPECT_EQ(rig.Window.Draws.size(), draws);
}

}  // namespace
}  // namespace tovasel::testing
