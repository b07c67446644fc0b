#include "flic/flic_play_thread.h"

#include "flic/flic_player.h"

namespace tovasel {

namespace {
enum TEndMode { emStopFrame, emPlayLoops, emStopOnly };
}

TFlicPlayThread::TFlicPlayThread(TPlayThreadLinks links) : links_(std::move(links)), thread_([this] { Execute(); }) {}

bool TFlicPlayThread::KeepPlaying(int mode) const {
  if (links_.StopRequested->load()) return false;
  const TFlicParams& p = *links_.Params;
  switch (mode) {
    case emStopFrame:
      return p.CurrentFrame < p.StopFrame;
    case emPlayLoops:
      return p.CurrentLoop <= p.PlayLoops;
    default:
      return true;
  }
}

// A frame lasts at least Speed ms from the start of its step. The deadline is
// compared as a signed distance, so a tick count that wraps around during a
// frame neither ends the wait early nor makes it last for weeks.
void TFlicPlayThread::WaitForDeadline(std::uint32_t deadline) {
  TTickClock& clock = *links_.Clock;
  while (!links_.StopRequested->load() && !TickAfter(clock.TickCount(), deadline)) clock.Yield();
}

void TFlicPlayThread::Execute() {
  const TFlicParams& p = *links_.Params;
  // The end condition is chosen once, when playing starts.
  const int mode = p.StopFrame != 0 ? emStopFrame : (p.PlayLoops != 0 ? emPlayLoops : emStopOnly);
  while (KeepPlaying(mode)) {
    const std::uint32_t t0 = links_.Clock->TickCount();
    const std::uint32_t deadline = t0 + p.Speed;
    if (!links_.Gate->Run(*links_.Dispatcher, links_.Step)) break;
    WaitForDeadline(deadline);
  }
  links_.Finished();
  terminated_.store(true);
}

}  // namespace tovasel
