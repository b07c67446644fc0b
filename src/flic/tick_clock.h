#pragma once

#include <cstdint>

namespace tovasel {

// The millisecond tick count that times playback, and the two ways the
// player lets time pass. Playback reads it from its own thread, so an
// implementation must be safe to call from any thread.
class TTickClock {
 public:
  virtual ~TTickClock() = default;
  // Milliseconds since some fixed moment; wraps around at 2^32.
  virtual std::uint32_t TickCount() = 0;
  // Gives up the rest of the time slice while a frame's time runs out.
  virtual void Yield() = 0;
  // Blocks the caller for about `ms` milliseconds.
  virtual void Sleep(std::uint32_t ms) = 0;
};

// The steady system clock. One shared instance serves every player.
class TSystemTickClock : public TTickClock {
 public:
  static TSystemTickClock& Instance();
  std::uint32_t TickCount() override;
  void Yield() override;
  void Sleep(std::uint32_t ms) override;
};

// True when tick `now` lies after `deadline`, also across the wrap of the
// 32-bit count (the two are taken to be less than 2^31 ms apart).
inline bool TickAfter(std::uint32_t now, std::uint32_t deadline) {
  return static_cast<std::int32_t>(now - deadline) > 0;
}

}  // namespace tovasel
