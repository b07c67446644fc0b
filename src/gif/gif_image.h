#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "gif/gif_header.h"
#include "gif/gif_item.h"
#include "gif/progress.h"
#include "gif/reduction_settings.h"
#include "gif/sub_image.h"

namespace tovasel {

// Image data encoder selected by a document's EncoderKind.
inline constexpr std::uint8_t ekLZW = 0;
inline constexpr std::uint8_t ekRLE = 1;

// Settings every new document starts from. They may be changed at run time
// and then apply to documents created afterwards; the program leaves them.
struct TGIFDefaults {
  TReductionScheme ReductionScheme = rsWebCube216;
  int ReductionColorBits = 8;
  TDitherKind DitherKind = dkNone;
  std::uint8_t EncoderKind = ekLZW;
};
inline TGIFDefaults GIFDefaults;

// One GIF document: the header with the logical screen and the global
// colour map, and the frames in output order.
class TGIFImage {
 public:
  TGIFImage();
  ~TGIFImage();
  TGIFImage(const TGIFImage&) = delete;
  TGIFImage& operator=(const TGIFImage&) = delete;

  TGIFImageList& Frames() { return frames_; }
  const TGIFImageList& Frames() const { return frames_; }
  TGIFHeader& HeaderBlock() { return header_; }
  const TGIFHeader& HeaderBlock() const { return header_; }
  TGIFGlobalColorMap& GlobalColors() { return header_.GlobalColors(); }
  const TGIFGlobalColorMap& GlobalColors() const { return header_.GlobalColors(); }
  bool Empty() const { return frames_.ItemCount() == 0; }

  // Appends a frame built by the caller unchanged; a null frame raises
  // "Object type not supported for operation".
  int AddFrame(std::unique_ptr<TGIFSubImage> frame);

  TReductionScheme ReductionScheme() const { return reductionScheme_; }
  void SetReductionScheme(TReductionScheme scheme) { reductionScheme_ = scheme; }
  int ReductionColorBits() const { return reductionColorBits_; }
  void SetReductionColorBits(int bits) { reductionColorBits_ = bits; }
  TDitherKind DitherKind() const { return ditherKind_; }
  void SetDitherKind(TDitherKind kind) { ditherKind_ = kind; }
  // ekRLE selects the run-length encoder; every other value LZW.
  std::uint8_t EncoderKind() const { return encoderKind_; }
  void SetEncoderKind(std::uint8_t kind) { encoderKind_ = kind; }

  void SetWarningHandler(TGIFWarningHandler handler) { warningHandler_ = std::move(handler); }
  void SetOnProgress(TGIFProgressHandler handler) { onProgress_ = std::move(handler); }
  // Passes a warning to the WarningHandler; dropped without one.
  void ReportWarning(int severity, const std::string& message);
  // Passes a progress report to OnProgress, if installed.
  void Progress(TProgressStage stage, int percent, const std::string& message);

  // True once the document has been changed since it was created.
  bool Modified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }

  // Largest ColorBits over the global map and every local map.
  int MaxColorBits() const;
  // Largest ColorBits - 1 over the same maps (-1 when all are empty).
  int MaxColorResolution() const;
  // 0 without frames, 2 when some frame needs GIF89a, else 1.
  int FileVersion() const;

  // Raise "Image width too small for contained frames" / "Image height too
  // small for contained frames" when a frame would stick out.
  void ResizeScreenWidth(int width);
  void ResizeScreenHeight(int height);

  // Destroys every frame, empties the global map and zeroes the screen size.
  void Clear();

  // Writes the whole GIF stream. Raises "Unsupported GIF version" for a
  // document without frames before writing anything, and "Stream write
  // error" when the stream fails.
  void SaveToStream(std::ostream& stream);
  // Image data the caller may already have for frame `index`: true after
  // writing into data what the frame's EncodePixels would with globalBits.
  using TReadyImageData =
      std::function<bool(int index, const TGIFSubImage& frame, int globalBits, std::string& data)>;
  // The same stream, taking the image data of frames that `ready` has.
  void SaveToStream(std::ostream& stream, const TReadyImageData& ready);
  // Writes the document into a new file beside FileName and renames it over
  // FileName, so an existing file is either replaced whole or left as it
  // was. The new file takes the old one's permission bits (else 0666 less
  // the umask); a symbolic link keeps pointing to the replaced file.
  // Raises "Cannot create file <name>" or "Cannot write file <name>".
  void StoreToFile(const std::string& fileName);

 private:
  TGIFHeader header_;
  TGIFImageList frames_;
  TReductionScheme reductionScheme_;
  int reductionColorBits_;
  TDitherKind ditherKind_;
  std::uint8_t encoderKind_;
  TGIFWarningHandler warningHandler_;
  TGIFProgressHandler onProgress_;
  bool modified_ = false;
};

}  // namespace tovasel
