#pragma once

#include <cstdint>

#include "flic/dynamic_array.h"

namespace tovasel {

// The rows (loop, frame, value) after which playback posts a notification.
// A loop of 0 matches every loop. The number of rows in use is kept by the
// player (NotifyCount), as the rows are only read by its play steps.
struct TNotifyTable {
  static constexpr int kCapacity = 20;

  TDynamicArray NotifyLoops{kCapacity};
  TDynamicArray NotifyFrames{kCapacity};
  TDynamicArray NotifyValues{kCapacity};
};

}  // namespace tovasel
