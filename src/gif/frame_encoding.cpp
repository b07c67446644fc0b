#include "gif/frame_encoding.h"

#include <algorithm>
#include <sstream>
#include <system_error>

#include "gif/gif_image.h"
#include "gif/sub_image.h"

namespace tovasel {

namespace {

// How far the workers may run ahead of the writer, in frames per worker:
// enough to keep them busy, few enough that the encoded frames waiting to
// be written stay a small part of the document.
constexpr int kFramesAheadPerWorker = 4;

}  // namespace

TFrameEncoding::TFrameEncoding(const TGIFImageList& frames, int globalBits)
    : frames_(frames), globalBits_(globalBits), slots_(static_cast<std::size_t>(frames.ItemCount())) {
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const int workers = std::min(cores, frames.ItemCount());
  window_ = kFramesAheadPerWorker * workers;
  try {
    for (int w = 0; w < workers; ++w) workers_.emplace_back([this] { Work(); });
  } catch (const std::system_error&) {
    // Fewer threads than asked for, or none: with none the writer's Take
    // encodes for itself.
  }
}

TFrameEncoding::~TFrameEncoding() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void TFrameEncoding::Work() {
  const int count = static_cast<int>(slots_.size());
  for (;;) {
    int i;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return stopping_ || next_ >= count || next_ < taken_ + window_; });
      if (stopping_ || next_ >= count) return;
      i = next_++;
    }
    TSlot slot;
    try {
      const TGIFSubImage& frame = frames_.FrameAt(i);
      if (!frame.IsBlank()) {
        std::ostringstream stream;
        frame.EncodePixels(stream, globalBits_);
        slot.Bytes = std::move(stream).str();
      }
    } catch (...) {
      slot.Error = std::current_exception();
    }
    slot.Done = true;
    {
      const std::lock_guard lock(mutex_);
      slots_[static_cast<std::size_t>(i)] = std::move(slot);
    }
    changed_.notify_all();
  }
}

std::string TFrameEncoding::Take(int i) {
  TSlot slot;
  {
    std::unique_lock lock(mutex_);
    if (workers_.empty() && next_ <= i) {
      // Without workers the writer encodes the frame itself.
      next_ = i + 1;
      lock.unlock();
      const TGIFSubImage& frame = frames_.FrameAt(i);
      if (frame.IsBlank()) return {};
      std::ostringstream stream;
      frame.EncodePixels(stream, globalBits_);
      return std::move(stream).str();
    }
    changed_.wait(lock, [&] { return slots_[static_cast<std::size_t>(i)].Done; });
    slot = std::move(slots_[static_cast<std::size_t>(i)]);
    slots_[static_cast<std::size_t>(i)] = TSlot{};
    taken_ = i + 1;
  }
  changed_.notify_all();
  if (slot.Error) std::rethrow_exception(slot.Error);
  return std::move(slot.Bytes);
}

}  // namespace tovasel
