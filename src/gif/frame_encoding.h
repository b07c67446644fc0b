#pragma once

#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tovasel {

class TGIFImageList;

// Encodes the image data of a document's frames on worker threads a few
// frames ahead of the writer, which takes them in frame order. Each frame is
// encoded on its own, so the bytes are those of encoding frame after frame;
// only the time changes, shared among the machine's cores.
class TFrameEncoding {
 public:
  // globalBits is the document's MaxColorBits, for frames drawing with the
  // global map. The frames must not change until the object is gone.
  TFrameEncoding(const TGIFImageList& frames, int globalBits);
  ~TFrameEncoding();
  TFrameEncoding(const TFrameEncoding&) = delete;
  TFrameEncoding& operator=(const TFrameEncoding&) = delete;

  // Frame i's image data, as TGIFSubImage::EncodePixels writes it, waiting
  // for it if need be; raises what encoding it raised. Frames are taken in
  // order, each once.
  std::string Take(int i);

 private:
  struct TSlot {
    std::string Bytes;
    std::exception_ptr Error;
    bool Done = false;
  };

  void Work();

  const TGIFImageList& frames_;
  const int globalBits_;
  // How many frames the workers may encode beyond those taken.
  int window_ = 0;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<TSlot> slots_;
  int next_ = 0;   // the next frame a worker claims
  int taken_ = 0;  // frames the writer has taken
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace tovasel
