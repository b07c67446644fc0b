#include "app/gif_conversion.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <string>

#include "app/app_error.h"
#include "app/frame_budget.h"
#include "app/frame_delays.h"
#include "app/frame_source.h"
#include "app/optimized_conversion.h"
#include "app/rolling_gif.h"
#include "colour/bitmap_import.h"
#include "colour/early_encoding.h"
#include "colour/incremental_passes.h"
#include "gif/application_extension.h"
#include "gif/byte_counter.h"
#include "gif/gif_exception.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "gif/safe_file_store.h"
#include "gif/scratch_file.h"
#include "imaging/indexed_picture.h"

namespace tovasel {

namespace {

// What the frame-by-frame route holds: the frame waiting to go out and the
// newest one, compacted against it.
constexpr std::int64_t kFrameByFrameFrames = 2;

std::uint16_t DelayOf(const TConversionSettings& settings, std::int64_t i) {
  return settings.Options.ExactTiming ? ExactDelay(settings.FlicType, settings.Speed, i) : WindowDelay(settings.Speed);
}

TCompactOptions CompactOptionsOf(const TConvertOptions& options) {
  TCompactOptions compact;
  if (options.Merge) compact |= coMergeUnchanged;
  if (options.Crop) compact |= coCropFrames;
  return compact;
}

// Every frame of the conversion into the document, with the passes after
// each one; afterFrame runs after them.
void AddAllFrames(TGIFImage& document, TIncrementalPasses& passes, TFrameSource& frames,
                  const TConversionSettings& settings, std::int64_t last, const std::function<void()>& afterFrame) {
  const TConvertOptions& options = settings.Options;
  if (options.ExactColours) document.SetReductionScheme(rsKeepColors);
  const TCompactOptions compact = CompactOptionsOf(options);
  TIndexedPicture picture;
  for (std::int64_t i = 0; i <= last; ++i) {
    if (settings.StepProgress) settings.StepProgress();
    // Past the last picture it repeats.
    if (i < frames.Count()) picture = frames.Next();
    AppendGifFrame(document, picture, options.Transparent, DelayOf(settings, i));
    passes.AfterFrameAdded(options.Palette, compact);
    afterFrame();
  }
  passes.Finish();
}

}  // namespace

std::int64_t PlainGifLowerBound(std::int64_t frames, std::int64_t pixels) {
  // Each code of a greedy LZW parse covers at most one pixel more than the
  // longest string before it, so the k-th code covers at most k pixels, and
  // every code takes at least 3 bits. Each frame also has its 10-byte image
  // descriptor.
  std::int64_t codes = 0;
  for (std::int64_t covered = 0; covered < pixels; covered += ++codes) {
  }
  return 13 + frames * (10 + (3 * codes + 7) / 8);
}

int AppendGifFrame(TGIFImage& Document, const TIndexedPicture& Picture, bool Transparent, std::uint16_t Delay) {
  const int index = AddFrame(Document, Picture);
  TGIFSubImage& frame = Document.Frames().FrameAt(index);
  if (index == 0) {
    auto loop = std::make_unique<TGIFAppExtNSLoop>(frame);
    loop->SetLoopCount(0);
    frame.FrameExtensions().Append(std::move(loop));
  }
  auto control = std::make_unique<TGIFGraphicControlExtension>(frame);
  control->SetDelayTime(Delay);
  if (Transparent) {
    control->SetIsTransparent(true);
    control->SetTransparentIndex(CornerColorIndex(frame));
  }
  frame.FrameExtensions().Append(std::move(control));
  return index;
}

std::uint8_t CornerColorIndex(TGIFSubImage& Frame) { return Frame.PixelAt(0, Frame.FrameHeight() - 1); }

std::string NoFramesMessage(const std::string& FileName) {
  return "FLIC file " + FileName + " has no frames to convert";
}

std::string MemoryText(std::int64_t units) {
  // Below a MiB only a caller's own small budget goes, but "1 MiB needed,
  // 1 MiB allowed" would read as nonsense.
  const bool small = units < (std::int64_t{1} << 20);
  const std::int64_t unit = std::int64_t{1} << (small ? 10 : 20);
  const std::int64_t amount = units / unit + (units % unit != 0 ? 1 : 0);
  std::string digits = std::to_string(amount);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
  return digits + (small ? " KiB" : " MiB");
}

std::int64_t LastFrameIndex(const TConvertOptions& options, int frameCount, const std::string& progressBarName) {
  const std::int64_t last = options.LimitOn ? ParseLimitText(options.LimitText) : std::int64_t{frameCount} - 1;
  // The progress bar takes last + 1 as its maximum and refuses anything
  // below its minimum of 0 or beyond its 32-bit range.
  const std::int64_t maximum = last + 1;
  if (maximum < 0 || maximum > std::numeric_limits<std::int32_t>::max()) {
    throw EAppError(progressBarName + " property out of range");
  }
  return last;
}

TGifConversion::TGifConversion(TFrameSource& frames, TConversionSettings settings)
    : frames_(frames), settings_(std::move(settings)) {
  const TConvertOptions& options = settings_.Options;
  // A limit would only repeat a blank frame.
  if (frames_.Count() == 0) throw EAppError(NoFramesMessage(settings_.FileName));
  last_ = LastFrameIndex(options, frames_.Count(), settings_.ProgressBarName);

  const std::int64_t pixels = std::int64_t{frames_.Width()} * frames_.Height();
  std::int64_t cost = 0;
  if (options.Optimize > 0) {
    cost = FramesCost(kSmallestGifPictures, pixels);
  } else if (options.Palette) {
    cost = FramesCost(last_ + 1, pixels);
  } else {
    cost = FramesCost(kFrameByFrameFrames, pixels);
  }
  if (cost > settings_.Budget) {
    const std::string amounts = ": " + MemoryText(cost) + " needed, " + MemoryText(settings_.Budget) + " allowed";
    if (!options.Palette || options.Optimize > 0) {
      throw EAppError("FLIC file " + settings_.FileName + " has frames too large to convert" + amounts);
    }
    if (options.LimitOn && last_ >= frames_.Count()) {
      throw EAppError("Frame limit " + std::to_string(last_) + " asks for too many frames for the Palette option" +
                      amounts);
    }
    throw EAppError("FLIC file " + settings_.FileName + " has too many frames for the Palette option" + amounts);
  }
  if (settings_.StartProgress) settings_.StartProgress(static_cast<int>(last_ + 1));
  // As a document without frames is refused when stored, before any file
  // is touched.
  if (last_ < 0) throw GIFException("Unsupported GIF version");
}

int TGifConversion::WriteTo(std::ostream& stream) {
  frames_.Rewind();
  if (settings_.Options.Optimize > 0) return WriteSmallest(stream);
  if (settings_.Options.Palette) return WriteDocument(stream);
  return WriteFrameByFrame(stream);
}

int TGifConversion::WriteFrameByFrame(std::ostream& stream) { return WriteFrameByFrame(settings_, stream); }

int TGifConversion::WriteFrameByFrame(const TConversionSettings& settings, std::ostream& stream) {
  const TConvertOptions& options = settings.Options;
  TGifStreamWriter writer(stream);
  TRollingGif gif(writer, options.ExactColours, CompactOptionsOf(options));
  TIndexedPicture picture;
  for (std::int64_t i = 0; i <= last_; ++i) {
    if (settings.StepProgress) settings.StepProgress();
    // Past the last picture it repeats.
    if (i < frames_.Count()) picture = frames_.Next();
    gif.Add(picture, options.Transparent, DelayOf(settings, i));
  }
  gif.Finish();
  return writer.ImagesWritten();
}

int TGifConversion::WriteDocument(std::ostream& stream) {
  TGIFImage document;
  TIncrementalPasses passes(document);
  // Encodes the frames while later ones are still being added.
  TEarlyEncoding early(document, passes);
  AddAllFrames(document, passes, frames_, settings_, last_, [&early] { early.AfterFrameAdded(); });
  document.SaveToStream(stream, early.ReadyData());
  return document.Frames().ItemCount();
}

int TGifConversion::WriteSmallest(std::ostream& stream) {
  // The encoder keeps each frame at most as large as the plain one, but its
  // global table is paid once for all frames: only the whole outputs tell
  // which is smaller. The encoder's waits in a scratch file meanwhile; a
  // temporary folder that takes no file leaves the encoder's unmeasured.
  const std::unique_ptr<TScratchFile> spool = TScratchFile::InTemporaryFolder("smallest");
  if (!spool) return WriteSmallestGif(frames_, settings_, last_, stream);
  int written = 0;
  std::int64_t smallest = 0;
  StoreFileSafely(spool->Path(), [&](std::ostream& out) {
    written = WriteSmallestGif(frames_, settings_, last_, out);
    smallest = out.tellp();
  });

  // The plain GIF of the same pictures (the exact colours, frame by frame)
  // is measured only when it could be smaller.
  if (smallest <= PlainGifLowerBound(last_ + 1, std::int64_t{frames_.Width()} * frames_.Height())) {
    std::ifstream in(spool->Path(), std::ios::binary);
    stream << in.rdbuf();
    if (!stream) throw GIFException("Stream write error");
    return written;
  }
  TConversionSettings plain = settings_;
  plain.Options.Optimize = 0;
  plain.Options.ExactColours = true;
  plain.StepProgress = nullptr;
  TByteCounter counter;
  std::ostream trial(&counter);
  frames_.Rewind();
  WriteFrameByFrame(plain, trial);
  if (counter.Size() < smallest) {
    frames_.Rewind();
    return WriteFrameByFrame(plain, stream);
  }
  std::ifstream in(spool->Path(), std::ios::binary);
  stream << in.rdbuf();
  if (!stream) throw GIFException("Stream write error");
  return written;
}

std::unique_ptr<TGIFImage> BuildGifDocument(TFrameSource& Frames, const TConversionSettings& Settings,
                                            std::int64_t Last) {
  auto document = std::make_unique<TGIFImage>();
  TIncrementalPasses passes(*document);
  AddAllFrames(*document, passes, Frames, Settings, Last, [] {});
  return document;
}

}  // namespace tovasel
