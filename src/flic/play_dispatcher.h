#pragma once

#include <functional>

namespace tovasel {

// Hands work to the thread that owns a player (the user-interface thread).
// The window toolkit supplies it; tests supply a queue they drain themselves.
class TPlayDispatcher {
 public:
  virtual ~TPlayDispatcher() = default;
  // Called from the play thread: queue `task` to run later on the player's
  // thread, never inline and never on another thread. Dropping a task unrun
  // is allowed: the play thread that waits for it is released by Stop.
  virtual void Post(std::function<void()> task) = 0;
};

}  // namespace tovasel
