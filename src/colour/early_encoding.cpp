#include "colour/early_encoding.h"

#include <new>
#include <sstream>
#include <system_error>

#include "colour/incremental_passes.h"

namespace tovasel {

namespace {

// Copies waiting for the thread, and their bytes (one larger copy may
// wait alone): when the passes run ahead of it, later frames are left to
// the writer instead of piling up.
constexpr std::size_t kWaiting = 4;
constexpr std::size_t kWaitingBytes = std::size_t{8} << 20;

// Codes kept for a frame whose pixels compress this badly or worse would
// hold more than they save; such a frame is encoded when it is written.
constexpr std::size_t kPixelsPerCode = 16;

}  // namespace

TEarlyEncoding::TEarlyEncoding(const TGIFImage& document, TIncrementalPasses& passes)
    : document_(document), passes_(passes) {
  // On one core the copy and the replay would only add to the work.
  if (std::thread::hardware_concurrency() < 2) return;
  try {
    worker_ = std::thread([this] { Work(); });
  } catch (const std::system_error&) {
    // Without the thread every frame is encoded when it is written.
  }
}

TEarlyEncoding::~TEarlyEncoding() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void TEarlyEncoding::AfterFrameAdded() {
  if (!worker_.joinable()) return;
  const TGIFImageList& frames = document_.Frames();
  if (frames.ItemCount() == 0) return;
  const TGIFSubImage& frame = frames.FrameAt(frames.ItemCount() - 1);
  if (frame.IsBlank()) return;
  {
    const std::lock_guard lock(mutex_);
    if (jobs_.size() - next_ >= kWaiting) return;
    if (waitingBytes_ > 0 && waitingBytes_ + frame.PixelDataSize() > kWaitingBytes) return;
  }
  // The code size the frame would be written with now; the replay follows
  // the map when it grows.
  const int bits = frame.LocalColors().Empty() ? document_.GlobalColors().ColorBits() : frame.ColorBits();
  // A frame that repeats the one before takes that one's data when written.
  if (frames.ItemCount() > 1 && frame.EncodesLike(frames.FrameAt(frames.ItemCount() - 2), bits)) return;
  const std::uint64_t token = passes_.FollowNewest();
  if (token == 0) return;
  auto job = std::make_unique<TJob>();
  job->Token = token;
  job->Pixels.assign(frame.PixelData(), frame.PixelData() + frame.PixelDataSize());
  job->Width = frame.FrameWidth();
  job->Height = frame.FrameHeight();
  job->Interlaced = frame.IsInterlaced();
  job->Bits = bits;
  {
    const std::lock_guard lock(mutex_);
    byFrame_[&frame] = job.get();
    waitingBytes_ += job->Pixels.size();
    jobs_.push_back(std::move(job));
  }
  changed_.notify_all();
}

void TEarlyEncoding::Work() {
  for (;;) {
    TJob* job = nullptr;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return stopping_ || next_ < jobs_.size(); });
      if (stopping_) return;
      job = jobs_[next_++].get();
      waitingBytes_ -= job->Pixels.size();
    }
    // Only this thread reads the copy once it is queued.
    TRecordedLzw codes;
    try {
      codes = RecordLzwCodes(job->Pixels.data(), job->Width, job->Height, job->Interlaced, job->Bits);
      if (codes.Codes.size() * kPixelsPerCode > job->Pixels.size()) codes = TRecordedLzw{};
    } catch (const std::bad_alloc&) {
      codes = TRecordedLzw{};
    }
    std::vector<std::uint8_t>().swap(job->Pixels);
    {
      const std::lock_guard lock(mutex_);
      job->Codes = std::move(codes);
      job->Done = true;
    }
    changed_.notify_all();
  }
}

TGIFImage::TReadyImageData TEarlyEncoding::ReadyData() {
  return [this](int index, const TGIFSubImage& frame, int globalBits, std::string& data) {
    return Ready(index, frame, globalBits, data);
  };
}

bool TEarlyEncoding::Ready(int index, const TGIFSubImage& frame, int globalBits, std::string& data) {
  TJob* job = nullptr;
  {
    std::unique_lock lock(mutex_);
    const auto found = byFrame_.find(&frame);
    if (found == byFrame_.end()) return false;
    job = found->second;
    changed_.wait(lock, [&] { return job->Done; });
  }
  // The frame at this address now may be another one, or have changed in
  // other ways: then the passes no longer know the token.
  const TColorTranslation* renumbering = passes_.RenumberingSince(index, job->Token);
  if (renumbering == nullptr) return false;
  std::ostringstream out;
  if (!frame.EncodePixelsFrom(out, globalBits, job->Codes, *renumbering)) return false;
  data = std::move(out).str();
  return true;
}

}  // namespace tovasel
