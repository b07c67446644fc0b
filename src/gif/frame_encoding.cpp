#include "gif/frame_encoding.h"

#include <algorithm>
#include <sstream>
#include <system_error>

#include "gif/sub_image.h"

namespace tovasel {

namespace {

// How far the workers may run ahead of the writer, in frames per worker.
constexpr int kFramesAheadPerWorker = 4;

}  // namespace

TFrameEncoding::TFrameEncoding(int globalBits) : globalBits_(globalBits) {
  const int workers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  window_ = kFramesAheadPerWorker * workers;
  try {
    for (int w = 0; w < workers; ++w) workers_.emplace_back([this] { Work(); });
  } catch (const std::system_error&) {
    // Fewer threads than asked for, or none: with none Take encodes for
    // itself.
  }
}

TFrameEncoding::~TFrameEncoding() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  workAdded_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

int TFrameEncoding::Waiting() const {
  const std::lock_guard lock(mutex_);
  return static_cast<int>(slots_.size());
}

void TFrameEncoding::Encode(TSlot& slot, int globalBits) {
  try {
    if (!slot.Frame->IsBlank()) {
      std::ostringstream stream;
      slot.Frame->EncodePixels(stream, globalBits);
      slot.Bytes = std::move(stream).str();
    }
  } catch (...) {
    slot.Error = std::current_exception();
  }
}

void TFrameEncoding::Add(const TGIFSubImage& frame) {
  // Only this thread adds and takes slots, so the frame before stays
  // valid here while its slot waits.
  const TGIFSubImage* previous = nullptr;
  {
    const std::lock_guard lock(mutex_);
    if (!slots_.empty()) previous = slots_.back().Frame;
  }
  const bool repeats = previous != nullptr && !frame.IsBlank() && frame.EncodesLike(*previous, globalBits_);
  {
    const std::lock_guard lock(mutex_);
    slots_.emplace_back();
    slots_.back().Frame = &frame;
    slots_.back().Repeats = repeats;
  }
  if (!repeats) workAdded_.notify_one();
}

void TFrameEncoding::Add(const TGIFSubImage& frame, std::string data) {
  const std::lock_guard lock(mutex_);
  TSlot& slot = slots_.emplace_back();
  slot.Frame = &frame;
  slot.Bytes = std::move(data);
  slot.Claimed = true;
  slot.Done = true;
}

void TFrameEncoding::Work() {
  for (;;) {
    TSlot* slot = nullptr;
    {
      std::unique_lock lock(mutex_);
      workAdded_.wait(lock, [&] {
        if (stopping_) return true;
        const auto open =
            std::find_if(slots_.begin(), slots_.end(), [](const TSlot& s) { return !s.Claimed && !s.Repeats; });
        if (open == slots_.end()) return false;
        slot = &*open;
        return true;
      });
      if (stopping_) return;
      slot->Claimed = true;
    }
    // A deque keeps its elements in place while others are added at the
    // back or taken from the front, and this one is not taken before Done.
    TSlot result;
    result.Frame = slot->Frame;
    Encode(result, globalBits_);
    {
      const std::lock_guard lock(mutex_);
      slot->Bytes = std::move(result.Bytes);
      slot->Error = result.Error;
      slot->Done = true;
    }
    workDone_.notify_one();
  }
}

std::string TFrameEncoding::Take() {
  TSlot slot;
  {
    std::unique_lock lock(mutex_);
    if (slots_.front().Repeats) {
      slots_.pop_front();
      lock.unlock();
      if (lastError_) std::rethrow_exception(lastError_);
      return lastBytes_;
    }
    if (workers_.empty() && !slots_.front().Claimed) {
      // Without workers the writer encodes the frame itself.
      slot = std::move(slots_.front());
      slots_.pop_front();
      lock.unlock();
      Encode(slot, globalBits_);
    } else {
      workDone_.wait(lock, [&] { return slots_.front().Done; });
      slot = std::move(slots_.front());
      slots_.pop_front();
    }
  }
  lastError_ = slot.Error;
  if (slot.Error) std::rethrow_exception(slot.Error);
  lastBytes_ = slot.Bytes;
  return std::move(slot.Bytes);
}

}  // namespace tovasel
