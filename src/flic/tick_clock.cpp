#include "flic/tick_clock.h"

#include <chrono>
#include <thread>

namespace tovasel {

TSystemTickClock& TSystemTickClock::Instance() {
  static TSystemTickClock clock;
  return clock;
}

std::uint32_t TSystemTickClock::TickCount() {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<std::uint32_t>(ms.count());
}

void TSystemTickClock::Yield() { std::this_thread::yield(); }

void TSystemTickClock::Sleep(std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace tovasel
