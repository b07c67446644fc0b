#pragma once

#include <cstdint>
#include <deque>
#include <memory>

#include "gif/frame_encoding.h"
#include "gif/gif_image.h"
#include "gif/reduction_settings.h"

namespace tovasel {

struct TIndexedPicture;
class TGifStreamWriter;

// A conversion's GIF written frame by frame, holding no more than the frame
// waiting to go out, the newest one, and the few final frames whose image
// data the encoding threads are working on. Each new frame is compacted
// against the frames before it (Merge, Crop) as the whole document would be
// after it was added; the frame before it is final once the new one is
// known to stay, since nothing later changes a frame that has a successor.
// The screen descriptor names the largest colour table of all frames, so
// the header is written again at the end: the stream must be able to seek.
class TRollingGif {
 public:
  TRollingGif(TGifStreamWriter& writer, bool exactColours, TCompactOptions compact);

  void Add(const TIndexedPicture& picture, bool transparent, std::uint16_t delay);
  // Writes the frames still held, the trailer and the final header. Raises
  // "Unsupported GIF version", as for a document without frames, when the
  // crop left no frame at all.
  void Finish();

 private:
  // Takes the oldest frame out of the document, final, to be encoded.
  void ReleaseOldest();
  // Writes the oldest released frame once its data is encoded.
  void WriteReleased();

  TGifStreamWriter& writer_;
  const TCompactOptions compact_;
  TGIFImage document_;
  // Released frames, oldest first; the encoding reads them until written.
  std::deque<std::unique_ptr<TGIFItem>> released_;
  TFrameEncoding encoding_;
  bool headWritten_ = false;
  int version_ = 0;
  int maxColorBits_ = 0;
};

}  // namespace tovasel
