#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "flic/play_dispatcher.h"

namespace tovasel {

// Runs one play step on the player's thread and lets the play thread wait
// for it, in a way the player's thread can abandon. Without that, Stop would
// wait for the play thread while the play thread waits for a step that can
// only run once Stop returns.
//
// A queued task holds the shared state, not the gate, so a task that runs
// after its gate is gone (or after Abandon) finds the abandoned mark and
// does nothing; it never calls into a player that has been destroyed.
class TSynchronizedStep {
 public:
  TSynchronizedStep() : state_(std::make_shared<TState>()) {}

  // Play thread: queue `step` through the dispatcher and wait until it has
  // run (true) or the gate is abandoned (false, the step never runs).
  bool Run(TPlayDispatcher& dispatcher, const std::function<void()>& step);

  // Player's thread: release a waiting Run and refuse every later one. A step
  // that is running at this moment (Stop called from inside it) finishes.
  void Abandon();

  // Player's thread, with no play thread alive: make the gate usable again.
  // Tasks queued before stay dead.
  void Reset() { state_ = std::make_shared<TState>(); }

 private:
  struct TState {
    std::mutex Mutex;
    std::condition_variable Changed;
    bool Abandoned = false;
    bool Done = false;
  };
  std::shared_ptr<TState> state_;
};

}  // namespace tovasel
