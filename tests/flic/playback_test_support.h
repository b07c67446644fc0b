#pragma once

// Stand-ins for what a window toolkit supplies to timed playback: a clock the
// test drives, a queue for the player's thread that the test drains, a
// window that records what it is asked to draw, and a notifier that records
// what is posted.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "flic/flic_notifier.h"
#include "flic/output_window.h"
#include "flic/play_dispatcher.h"
#include "flic/tick_clock.h"
#include "flic_test_support.h"
#include "imaging/bitmap.h"

namespace tovasel::testing {

// Time moves only when the play thread yields (1 tick each) or someone
// sleeps, so every timing is exact. A frozen clock never moves on a yield.
class TTestClock : public TTickClock {
 public:
  explicit TTestClock(std::uint32_t start = 1000, bool frozen = false) : now_(start), frozen_(frozen) {}
  std::uint32_t TickCount() override { return now_.load(); }
  void Yield() override {
    if (!frozen_.load()) now_.fetch_add(1);
    std::this_thread::yield();
  }
  void Sleep(std::uint32_t ms) override {
    now_.fetch_add(ms);
    std::lock_guard lock(mutex_);
    sleeps_.push_back(ms);
  }
  void SetFrozen(bool frozen) { frozen_ = frozen; }
  std::vector<std::uint32_t> Sleeps() {
    std::lock_guard lock(mutex_);
    return sleeps_;
  }

 private:
  std::atomic<std::uint32_t> now_;
  std::atomic<bool> frozen_;
  std::mutex mutex_;
  std::vector<std::uint32_t> sleeps_;
};

// The player's thread is the test's own thread: posted steps wait here until
// the test runs them.
class TQueueDispatcher : public TPlayDispatcher {
 public:
  // A safety net so that a broken player fails the test instead of hanging it.
  static constexpr std::chrono::seconds kPatience{20};

  void Post(std::function<void()> task) override {
    {
      std::lock_guard lock(mutex_);
      tasks_.push_back(std::move(task));
    }
    posted_.notify_all();
  }

  // Waits for a posted task; false if none came in time.
  bool WaitForTask() {
    std::unique_lock lock(mutex_);
    return posted_.wait_for(lock, kPatience, [&] { return !tasks_.empty(); });
  }
  // Runs the oldest posted task; false if there is none.
  bool RunOne() {
    std::function<void()> task;
    {
      std::lock_guard lock(mutex_);
      if (tasks_.empty()) return false;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
    return true;
  }
  std::size_t Pending() {
    std::lock_guard lock(mutex_);
    return tasks_.size();
  }
  // Runs posted tasks until `done` holds; false if it did not in time.
  bool RunUntil(const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
      if (std::chrono::steady_clock::now() > limit) return false;
      std::unique_lock lock(mutex_);
      posted_.wait_for(lock, std::chrono::milliseconds(1), [&] { return !tasks_.empty(); });
      lock.unlock();
      RunOne();
    }
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> tasks_;
};

// Records every request with the clock's tick at that moment.
class TPlaybackWindow : public TOutputWindow {
 public:
  explicit TPlaybackWindow(TTickClock* clock = nullptr) : clock_(clock) {}
  struct TDraw {
    std::uint32_t Tick;
    bool Bitmap;
    TBitmap Picture;  // for bitmaps only
    int X;
    int Y;
  };
  void DrawFrame(const TFlicSurface&, const TRect&, const TRect& dest, bool) override {
    Draws.push_back(TDraw{Now(), false, TBitmap(), dest.Left, dest.Top});
  }
  void DrawBitmap(const TBitmap& bitmap, int x, int y, bool wholeWindow) override {
    Draws.push_back(TDraw{Now(), true, bitmap, x, y});
    WholeWindow = wholeWindow;
  }
  void Invalidate(const TRect& area) override { Invalidated.push_back(area); }

  std::vector<TDraw> Draws;
  std::vector<TRect> Invalidated;
  bool WholeWindow = false;

 private:
  std::uint32_t Now() const { return clock_ ? clock_->TickCount() : 0; }
  TTickClock* clock_;
};

class TRecordingNotifier : public TFlicNotifier {
 public:
  struct TMessage {
    std::uint32_t Number;
    std::uintptr_t WParam;
    std::intptr_t LParam;
    friend bool operator==(const TMessage&, const TMessage&) = default;
  };
  std::uint32_t RegisterMessage(std::string_view name) override {
    Names.emplace_back(name);
    return 0xC000 + static_cast<std::uint32_t>(Names.size() - 1);
  }
  void PostMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
    std::lock_guard lock(mutex_);
    messages_.push_back(TMessage{message, wParam, lParam});
  }
  std::vector<TMessage> Messages() {
    std::lock_guard lock(mutex_);
    return messages_;
  }
  std::vector<std::string> Names;

 private:
  std::mutex mutex_;
  std::vector<TMessage> messages_;
};

// Frame f (from 0) of the test animations: a pattern picture of its own.
inline fw::TIndexedPicture PlaybackPicture(int f, int width, int height) { return PatternPicture(width, height, 40 + f); }

inline fw::TFlicLayout PlaybackAnimation(int frames, std::uint32_t speed, int width = 24, int height = 16,
                                         bool ring = true) {
  std::vector<fw::TAnimationFrame> list;
  for (int f = 0; f < frames; ++f)
    list.push_back(fw::TAnimationFrame{PlaybackPicture(f, width, height), PatternColours(9), fw::TEncoding::enDelta});
  fw::TAnimationOptions options;
  options.Speed = speed;
  options.RingFrame = ring;
  return fw::BuildAnimation(list, options);
}

}  // namespace tovasel::testing
