#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "flic/play_dispatcher.h"
#include "flic/synchronized_step.h"
#include "flic/tick_clock.h"

namespace tovasel {

struct TFlicParams;

// What a play thread needs from its player. Every member outlives the
// thread: the player joins the thread before any of them goes away.
struct TPlayThreadLinks {
  const TFlicParams* Params;
  const std::atomic<bool>* StopRequested;
  TTickClock* Clock;
  TPlayDispatcher* Dispatcher;
  TSynchronizedStep* Gate;
  // Runs on the player's thread through the gate: one frame.
  std::function<void()> Step;
  // Runs on the play thread after its last step.
  std::function<void()> Finished;
};

// Times the frames of a playing animation. The thread starts at
// construction; each step is handed to the player's thread and waited for,
// then the thread spins, yielding, until Speed milliseconds have passed since
// the step began. Destruction joins the thread, so it must have been told to
// stop first (StopRequested and the gate abandoned) unless it has ended.
class TFlicPlayThread {
 public:
  explicit TFlicPlayThread(TPlayThreadLinks links);
  ~TFlicPlayThread() { Join(); }
  TFlicPlayThread(const TFlicPlayThread&) = delete;
  TFlicPlayThread& operator=(const TFlicPlayThread&) = delete;

  void Join() {
    if (thread_.joinable()) thread_.join();
  }
  // True once the thread has left its main loop and reported.
  bool Terminated() const { return terminated_.load(); }

 private:
  void Execute();
  bool KeepPlaying(int mode) const;
  void WaitForDeadline(std::uint32_t deadline);

  TPlayThreadLinks links_;
  std::atomic<bool> terminated_{false};
  std::thread thread_;  // last: starts once every other member is ready
};

}  // namespace tovasel
