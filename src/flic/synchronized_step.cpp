#include "flic/synchronized_step.h"

namespace tovasel {

bool TSynchronizedStep::Run(TPlayDispatcher& dispatcher, const std::function<void()>& step) {
  const std::shared_ptr<TState> state = state_;
  {
    std::lock_guard lock(state->Mutex);
    if (state->Abandoned) return false;
    state->Done = false;
  }
  // The step is copied into the task; it is only called while the state is
  // not abandoned, that is while its player is alive and waiting for it.
  dispatcher.Post([state, step] {
    {
      std::lock_guard lock(state->Mutex);
      if (state->Abandoned || state->Done) return;
    }
    // Abandon runs on this same thread, so it cannot slip in before the
    // step starts; the lock is not held while the step paints. The waiting
    // thread is released even when the step throws.
    struct TRelease {
      TState& State;
      ~TRelease() {
        {
          std::lock_guard lock(State.Mutex);
          State.Done = true;
        }
        State.Changed.notify_all();
      }
    } release{*state};
    step();
  });
  std::unique_lock lock(state->Mutex);
  state->Changed.wait(lock, [&] { return state->Done || state->Abandoned; });
  return state->Done;
}

void TSynchronizedStep::Abandon() {
  {
    std::lock_guard lock(state_->Mutex);
    state_->Abandoned = true;
  }
  state_->Changed.notify_all();
}

}  // namespace tovasel
