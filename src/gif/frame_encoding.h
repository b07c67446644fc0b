#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tovasel {

class TGIFSubImage;

// Encodes the image data of frames on worker threads while the writer goes
// on, and hands the data back in the order the frames came. Each frame is
// encoded on its own, so the bytes are those of encoding frame after frame;
// only the time changes, shared among the machine's cores.
//
// A frame whose data would repeat the frame added just before it (an
// animation holding still) is not encoded again: it takes that frame's data.
//
// What a worker reads is fixed before it starts: a frame may not change
// from Add until Take has returned its data (the writer writes its head from
// the frame at that time too), and the frames' document's encoder kind may
// not change at all.
class TFrameEncoding {
 public:
  // globalBits: the document's MaxColorBits, for frames drawing with the
  // global map.
  explicit TFrameEncoding(int globalBits);
  ~TFrameEncoding();
  TFrameEncoding(const TFrameEncoding&) = delete;
  TFrameEncoding& operator=(const TFrameEncoding&) = delete;

  // How many frames may wait beyond the one taken next: enough to keep the
  // workers busy, few enough that the data waiting to be written stays
  // small.
  int Window() const { return window_; }
  // Frames added and not yet taken.
  int Waiting() const;

  void Add(const TGIFSubImage& frame);
  // A frame whose image data the caller already has.
  void Add(const TGIFSubImage& frame, std::string data);
  // The image data of the oldest frame not yet taken, as
  // TGIFSubImage::EncodePixels writes it (nothing for a blank frame),
  // waiting for it if need be; raises what encoding it raised.
  std::string Take();

 private:
  struct TSlot {
    const TGIFSubImage* Frame = nullptr;
    // The frame's data is that of the slot before it.
    bool Repeats = false;
    std::string Bytes;
    std::exception_ptr Error;
    bool Claimed = false;
    bool Done = false;
  };

  void Work();
  static void Encode(TSlot& slot, int globalBits);

  const int globalBits_;
  int window_ = 0;
  mutable std::mutex mutex_;
  // Workers wait for a frame to encode, the writer for the oldest frame's
  // data: each wake-up goes to a thread that has something to do.
  std::condition_variable workAdded_;
  std::condition_variable workDone_;
  std::deque<TSlot> slots_;  // from the oldest not taken
  // What the last Take gave, for a slot that repeats it.
  std::string lastBytes_;
  std::exception_ptr lastError_;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace tovasel
