#include "gif/gif_image.h"

#include <algorithm>
#include <ostream>

#include "gif/frame_encoding.h"
#include "gif/gif_exception.h"
#include "gif/safe_file_store.h"

namespace tovasel {

TProgressScope::TProgressScope(TGIFImage& document, std::string message)
    : document_(document), message_(std::move(message)) {
  document_.Progress(TProgressStage::psStarting, 0, message_);
}

TProgressScope::~TProgressScope() {
  try {
    document_.Progress(TProgressStage::psEnding, succeeded_ ? 100 : 0, message_);
  } catch (...) {
    // A handler that throws while an error unwinds must not end the program.
  }
}

void TProgressScope::Running(int percent) {
  document_.Progress(TProgressStage::psRunning, percent, message_);
}

TGIFImage::TGIFImage()
    : header_(*this),
      frames_(this),
      reductionScheme_(GIFDefaults.ReductionScheme),
      reductionColorBits_(GIFDefaults.ReductionColorBits),
      ditherKind_(GIFDefaults.DitherKind),
      encoderKind_(GIFDefaults.EncoderKind) {
  Clear();
}

TGIFImage::~TGIFImage() { frames_.ClearItems(); }

int TGIFImage::AddFrame(std::unique_ptr<TGIFSubImage> frame) {
  if (!frame) throw GIFException("Object type not supported for operation");
  const int index = frames_.Append(std::move(frame));
  modified_ = true;
  return index;
}

void TGIFImage::ReportWarning(int severity, const std::string& message) {
  if (warningHandler_) warningHandler_(*this, severity, message);
}

void TGIFImage::Progress(TProgressStage stage, int percent, const std::string& message) {
  if (onProgress_) onProgress_(*this, stage, percent, message);
}

int TGIFImage::MaxColorBits() const {
  int bits = GlobalColors().ColorBits();
  for (int i = 0; i < frames_.ItemCount(); ++i) {
    bits = std::max(bits, frames_.FrameAt(i).LocalColors().ColorBits());
  }
  return bits;
}

int TGIFImage::MaxColorResolution() const { return MaxColorBits() - 1; }

int TGIFImage::FileVersion() const {
  int version = 0;
  for (int i = 0; i < frames_.ItemCount() && version < 2; ++i) {
    version = std::max(version, frames_.FrameAt(i).RequiredVersion());
  }
  return version;
}

void TGIFImage::ResizeScreenWidth(int width) {
  for (int i = 0; i < frames_.ItemCount(); ++i) {
    const TGIFSubImage& frame = frames_.FrameAt(i);
    if (frame.FrameLeft() + frame.FrameWidth() > width) {
      throw GIFException("Image width too small for contained frames");
    }
  }
  if (width != header_.ScreenWidth()) {
    header_.SetScreenWidth(width);
    modified_ = true;
  }
}

void TGIFImage::ResizeScreenHeight(int height) {
  for (int i = 0; i < frames_.ItemCount(); ++i) {
    const TGIFSubImage& frame = frames_.FrameAt(i);
    if (frame.FrameTop() + frame.FrameHeight() > height) {
      throw GIFException("Image height too small for contained frames");
    }
  }
  if (height != header_.ScreenHeight()) {
    header_.SetScreenHeight(height);
    modified_ = true;
  }
}

void TGIFImage::Clear() {
  frames_.ClearItems();
  header_.GlobalColors().ResetColors();
  header_.SetScreenWidth(0);
  header_.SetScreenHeight(0);
  header_.PreparePacked();
}

// The whole stream: header, frames in list order, trailer.
void TGIFImage::SaveToStream(std::ostream& stream) { SaveToStream(stream, nullptr); }

void TGIFImage::SaveToStream(std::ostream& stream, const TReadyImageData& ready) {
  TProgressScope progress(*this, "Saving...");
  TGifStreamWriter writer(stream);
  // The header refuses a document without frames before writing a byte.
  writer.WriteHead(header_.Head());
  const int count = frames_.ItemCount();
  const int globalBits = MaxColorBits();
  TFrameEncoding encoding(globalBits);
  int added = 0;
  for (int i = 0; i < count; ++i) {
    while (added < count && added <= i + encoding.Window()) {
      const TGIFSubImage& frame = frames_.FrameAt(added);
      std::string data;
      if (ready && ready(added, frame, globalBits, data)) {
        encoding.Add(frame, std::move(data));
      } else {
        encoding.Add(frame);
      }
      ++added;
    }
    // The head goes out before the data is waited for, so a frame that
    // fails to encode leaves the stream as the plain writer would.
    const bool hasData = frames_.FrameAt(i).SaveHeadTo(writer);
    const std::string data = encoding.Take();
    if (hasData) writer.WriteImageData(data);
    progress.Running((i + 1) * 100 / count);
  }
  writer.Finish();
  progress.Succeeded();
}

void TGIFImage::StoreToFile(const std::string& fileName) {
  // Checked before the path is touched, so an existing file stays as it is.
  if (FileVersion() == 0) throw GIFException("Unsupported GIF version");
  StoreFileSafely(fileName, [this](std::ostream& stream) { SaveToStream(stream); });
}

}  // namespace tovasel
