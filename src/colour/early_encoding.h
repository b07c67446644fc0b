#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

#include "gif/gif_image.h"
#include "gif/lzw_encoder.h"

namespace tovasel {

class TIncrementalPasses;

// The image data of a document's frames, encoded while the passes still
// work on later frames. The Palette option holds every frame until the last
// one is packed, since each packing renumbers the colours of the frames
// before; but renumbering changes which value a pixel has, never which
// pixels are equal, and that is all LZW looks at. So once the passes change
// a frame only by renumbering, a copy of its pixels is encoded on a thread
// of its own, and when the document is saved the codes are written under
// the renumbering the frame went through since (TLzwReplay). A frame whose
// codes do not carry over is encoded as usual then.
class TEarlyEncoding {
 public:
  TEarlyEncoding(const TGIFImage& document, TIncrementalPasses& passes);
  ~TEarlyEncoding();
  TEarlyEncoding(const TEarlyEncoding&) = delete;
  TEarlyEncoding& operator=(const TEarlyEncoding&) = delete;

  // After every TIncrementalPasses::AfterFrameAdded: the newest frame is
  // followed and its copy queued, unless the queue is full.
  void AfterFrameAdded();

  // For TGIFImage::SaveToStream once the passes are finished; waits for the
  // frames still being encoded.
  TGIFImage::TReadyImageData ReadyData();

 private:
  struct TJob {
    std::uint64_t Token = 0;
    std::vector<std::uint8_t> Pixels;
    int Width = 0;
    int Height = 0;
    bool Interlaced = false;
    int Bits = 0;
    TRecordedLzw Codes;
    bool Done = false;
  };

  void Work();
  bool Ready(int index, const TGIFSubImage& frame, int globalBits, std::string& data);

  const TGIFImage& document_;
  TIncrementalPasses& passes_;
  std::mutex mutex_;
  std::condition_variable changed_;
  // Every job, oldest first; next_ is the first one not started.
  std::deque<std::unique_ptr<TJob>> jobs_;
  std::size_t next_ = 0;
  std::size_t waitingBytes_ = 0;
  // The latest job of each frame.
  std::unordered_map<const TGIFSubImage*, TJob*> byFrame_;
  bool stopping_ = false;
  std::thread worker_;
};

}  // namespace tovasel
