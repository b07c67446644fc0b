#pragma once

#include <cstdint>
#include <iosfwd>
#include <span>
#include <string_view>

#include "gif/colour_map.h"

namespace tovasel {

// The header of a GIF stream: signature and logical screen descriptor,
// followed by the global colour table when the packed byte says so.
struct TGifHead {
  bool Gif89a = true;
  std::uint16_t ScreenWidth = 0;
  std::uint16_t ScreenHeight = 0;
  // Global table flag, colour resolution, sort flag, global table size.
  std::uint8_t Packed = 0;
  std::uint8_t BackgroundIndex = 0;
  std::uint8_t AspectRatio = 0;
  // The entries of the global table; padded with black to the size the
  // packed byte names.
  std::span<const TGIFColor> GlobalTable;
};

// The image descriptor of one frame.
struct TGifImageHead {
  std::uint16_t Left = 0;
  std::uint16_t Top = 0;
  std::uint16_t Width = 0;
  std::uint16_t Height = 0;
  // Local table flag, interlace, sort flag, local table size.
  std::uint8_t Packed = 0;
};

// The graphic control extension's fields.
struct TGifGraphicControl {
  // Disposal method, user input flag, transparent colour flag.
  std::uint8_t Packed = 0;
  std::uint16_t Delay = 0;
  std::uint8_t TransparentIndex = 0;
};

// Every GIF this program writes goes out through one of these, whether it
// comes from a whole document, frame by frame from a conversion, or from the
// lossless encoder: the header, then per frame its extensions and its image,
// then the trailer. It counts the images it writes. A write the stream
// refuses raises GIFException "Stream write error".
class TGifStreamWriter {
 public:
  explicit TGifStreamWriter(std::ostream& stream) : stream_(stream) {}
  TGifStreamWriter(const TGifStreamWriter&) = delete;
  TGifStreamWriter& operator=(const TGifStreamWriter&) = delete;

  void WriteHead(const TGifHead& head);
  // Writes the head again over the one written first, for a screen that is
  // known only once every frame is out. The stream must be able to seek, and
  // the global table must keep its size.
  void RewriteHead(const TGifHead& head);
  void WriteGraphicControl(const TGifGraphicControl& control);
  // The NETSCAPE2.0 looping extension.
  void WriteLoop(std::uint16_t loopCount);
  // The image descriptor and the local table (padded with black to the size
  // the packed byte names; empty without one).
  void WriteImageHead(const TGifImageHead& image, std::span<const TGIFColor> localTable);
  // The table based image data an encoder produced: code size, sub-blocks,
  // terminator.
  void WriteImageData(std::string_view data);
  // The trailer, then a flush; a stream that failed on the way raises.
  void Finish();

  int ImagesWritten() const { return images_; }
  // For extension blocks that write themselves.
  std::ostream& Stream() { return stream_; }

 private:
  std::ostream& stream_;
  std::streamoff headAt_ = -1;
  int images_ = 0;
};

// The blocks on their own, for the document's items that write themselves
// to a stream; the writer above lays out the same bytes.
void WriteHeadBlock(std::ostream& stream, const TGifHead& head);
void WriteGraphicControlBlock(std::ostream& stream, const TGifGraphicControl& control);
void WriteImageHeadBlock(std::ostream& stream, const TGifImageHead& image, std::span<const TGIFColor> localTable);
// A colour table of 2^bits entries: the given ones, then black.
void WriteColourTable(std::ostream& stream, std::span<const TGIFColor> entries, int bits);

}  // namespace tovasel
