#include "app/rolling_gif.h"

#include <algorithm>

#include "app/gif_conversion.h"
#include "colour/frame_passes.h"
#include "gif/gif_exception.h"
#include "gif/gif_stream_writer.h"

namespace tovasel {

TRollingGif::TRollingGif(TGifStreamWriter& writer, bool exactColours, TCompactOptions compact)
    // No frame draws with a global map: any code size serves the encoding.
    : writer_(writer), compact_(compact), encoding_(8) {
  if (exactColours) document_.SetReductionScheme(rsKeepColors);
}

void TRollingGif::Add(const TIndexedPicture& picture, bool transparent, std::uint16_t delay) {
  // The document holds only frames that are not out yet, and it is empty
  // exactly when no frame has stayed so far, as the whole document would
  // be: the frame added then is the first and takes the looping extension.
  AppendGifFrame(document_, picture, transparent, delay);
  const bool stays = compact_.Empty() || CompactNewestFrame(document_.Frames(), compact_);
  if (stays && document_.Frames().ItemCount() > 1) ReleaseOldest();
}

void TRollingGif::ReleaseOldest() {
  TGIFImageList& frames = document_.Frames();
  TGIFSubImage& frame = frames.FrameAt(0);
  // The screen's size comes from the first frame; the rest of the head is
  // written again once every frame is known.
  if (!headWritten_) writer_.WriteHead(document_.HeaderBlock().Head());
  headWritten_ = true;
  version_ = std::max(version_, frame.RequiredVersion());
  maxColorBits_ = std::max(maxColorBits_, frame.ColorBits());
  released_.push_back(frames.Detach(&frame));
  encoding_.Add(frame);
  if (static_cast<int>(released_.size()) > encoding_.Window()) WriteReleased();
}

void TRollingGif::WriteReleased() {
  auto& frame = static_cast<TGIFSubImage&>(*released_.front());
  const bool hasData = frame.SaveHeadTo(writer_);
  const std::string data = encoding_.Take();
  if (hasData) writer_.WriteImageData(data);
  released_.pop_front();
}

void TRollingGif::Finish() {
  while (document_.Frames().ItemCount() > 0) ReleaseOldest();
  while (!released_.empty()) WriteReleased();
  if (!headWritten_) throw GIFException("Unsupported GIF version");
  writer_.RewriteHead(document_.HeaderBlock().HeadFor(version_, maxColorBits_));
  writer_.Finish();
}

}  // namespace tovasel
