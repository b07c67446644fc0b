#include "app/streamed_conversion.h"

#include <ostream>

#include "app/app_error.h"
#include "app/frame_delays.h"
#include "app/gif_conversion.h"
#include "gif/gif_exception.h"
#include "gif/gif_image.h"
#include "gif/safe_file_store.h"

namespace tovasel {

namespace {

// A GIF document written frame by frame. The logical screen descriptor
// names the largest local colour table of all frames, so the header goes
// out with the first frame and again over it at the end; of the frames
// written only the one with the largest table stays, for that header.
class TGifFrameStream {
 public:
  TGifFrameStream(std::ostream& stream, bool exactColours) : stream_(stream) {
    if (exactColours) document_.SetReductionScheme(rsKeepColors);
  }

  void Add(const TIndexedPicture& picture, bool transparent, std::uint16_t delay) {
    // Only the document's first frame gets the looping extension; from the
    // second frame on one kept frame always comes before the new one.
    const int index = AppendGifFrame(document_, picture, transparent, delay);
    TGIFImageList& frames = document_.Frames();
    if (index == 0) document_.HeaderBlock().SaveToStream(stream_);
    frames.FrameAt(index).SaveToStream(stream_);
    if (index == 1) frames.DeleteAt(frames.FrameAt(1).ColorBits() > frames.FrameAt(0).ColorBits() ? 0 : 1);
  }

  void Finish() {
    TGIFTrailer(&document_).SaveToStream(stream_);
    stream_.seekp(0);
    document_.HeaderBlock().SaveToStream(stream_);
    stream_.flush();
    if (!stream_) throw GIFException("Stream write error");
  }

 private:
  std::ostream& stream_;
  TGIFImage document_;
};

}  // namespace

bool StreamsFrames(const TConvertOptions& options) {
  return !options.Palette && !options.Merge && !options.Crop && options.Optimize == 0;
}

int StreamGifConversion(const TStreamedInput& input, const std::string& OutputPath) {
  const TConvertOptions& options = input.Options;
  const std::int64_t last = LastFrameIndex(options, input.FrameCount, input.ProgressBarName);
  if (input.FrameCount == 0) throw EAppError(NoFramesMessage(input.FileName));
  if (input.StartProgress) input.StartProgress(static_cast<int>(last + 1));
  // As the document of no frames is refused when stored, before any file
  // is touched.
  if (last < 0) throw GIFException("Unsupported GIF version");

  StoreFileSafely(OutputPath, [&](std::ostream& stream) {
    TGifFrameStream gif(stream, options.ExactColours);
    TIndexedPicture picture;
    for (std::int64_t i = 0; i <= last; ++i) {
      if (input.StepProgress) input.StepProgress();
      // Past the last picture it repeats.
      if (i < input.FrameCount) picture = input.NextPicture();
      const std::uint16_t delay =
          options.ExactTiming ? ExactDelay(input.FlicType, input.Speed, i) : WindowDelay(input.Speed);
      gif.Add(picture, options.Transparent, delay);
    }
    gif.Finish();
  });
  return static_cast<int>(last + 1);
}

}  // namespace tovasel
