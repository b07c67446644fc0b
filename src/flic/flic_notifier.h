#pragma once

#include <cstdint>
#include <string_view>

namespace tovasel {

// The player's registered message names, in the order it keeps their numbers.
enum TFlicMessage : std::uint8_t { fmNotify = 0, fmStop = 1, fmFrame = 2, fmRedim = 3 };
inline constexpr std::string_view kFlicMessageNames[4] = {
    "FlicPlayer32 Notify",
    "FlicPlayer32 Stop",
    "FlicPlayer32 Frame",
    "FlicPlayer32 Redim",
};

// The window that receives the player's notifications: the toolkit gives
// each registered name a number and queues posted messages for its own
// thread. PostMessage is also called from the play thread, so it must be
// safe to call from any thread and must not block.
class TFlicNotifier {
 public:
  virtual ~TFlicNotifier() = default;
  virtual std::uint32_t RegisterMessage(std::string_view name) = 0;
  virtual void PostMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

}  // namespace tovasel
