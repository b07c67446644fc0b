#include "gif/gif_stream_writer.h"

#include <algorithm>
#include <array>
#include <ostream>

#include "gif/gif_exception.h"
#include "gif/stream_output.h"

namespace tovasel {

namespace {

constexpr std::uint8_t kExtensionIntroducer = 0x21;
constexpr std::uint8_t kImageSeparator = 0x2C;
constexpr std::uint8_t kTrailer = 0x3B;

// The size bits of a packed byte with a table flag: a table of 2^(n + 1).
int TableBits(std::uint8_t packed) { return (packed & 0x07) + 1; }

}  // namespace

// Header, logical screen descriptor and global colour table.
void WriteHeadBlock(std::ostream& stream, const TGifHead& head) {
  WriteBytes(stream, head.Gif89a ? "GIF89a" : "GIF87a", 6);
  const std::uint8_t descriptor[7] = {
      static_cast<std::uint8_t>(head.ScreenWidth),  static_cast<std::uint8_t>(head.ScreenWidth >> 8),
      static_cast<std::uint8_t>(head.ScreenHeight), static_cast<std::uint8_t>(head.ScreenHeight >> 8),
      head.Packed,                                  head.BackgroundIndex,
      head.AspectRatio};
  WriteBytes(stream, descriptor, sizeof descriptor);
  if ((head.Packed & 0x80) != 0) WriteColourTable(stream, head.GlobalTable, TableBits(head.Packed));
}

// Graphic control extension: block size 4, packed byte, delay, transparent
// colour index, terminator.
void WriteGraphicControlBlock(std::ostream& stream, const TGifGraphicControl& control) {
  const std::uint8_t block[8] = {kExtensionIntroducer,
                                 0xF9,
                                 4,
                                 control.Packed,
                                 static_cast<std::uint8_t>(control.Delay),
                                 static_cast<std::uint8_t>(control.Delay >> 8),
                                 control.TransparentIndex,
                                 0};
  WriteBytes(stream, block, sizeof block);
}

// Image descriptor, then the local colour table.
void WriteImageHeadBlock(std::ostream& stream, const TGifImageHead& image, std::span<const TGIFColor> localTable) {
  const std::uint8_t descriptor[10] = {
      kImageSeparator,
      static_cast<std::uint8_t>(image.Left),  static_cast<std::uint8_t>(image.Left >> 8),
      static_cast<std::uint8_t>(image.Top),   static_cast<std::uint8_t>(image.Top >> 8),
      static_cast<std::uint8_t>(image.Width), static_cast<std::uint8_t>(image.Width >> 8),
      static_cast<std::uint8_t>(image.Height), static_cast<std::uint8_t>(image.Height >> 8),
      image.Packed};
  WriteBytes(stream, descriptor, sizeof descriptor);
  if ((image.Packed & 0x80) != 0) WriteColourTable(stream, localTable, TableBits(image.Packed));
}

void WriteColourTable(std::ostream& stream, std::span<const TGIFColor> entries, int bits) {
  // The file's table always has a power-of-two size; black fills the rest.
  std::array<TGIFColor, TGIFColorMap::MaxEntries> table{};
  const std::size_t size = std::size_t{1} << bits;
  std::copy_n(entries.begin(), std::min(entries.size(), size), table.begin());
  WriteBytes(stream, table.data(), sizeof(TGIFColor) * size);
}

void TGifStreamWriter::WriteHead(const TGifHead& head) {
  headAt_ = stream_.tellp();
  WriteHeadBlock(stream_, head);
}

void TGifStreamWriter::RewriteHead(const TGifHead& head) {
  const std::streamoff end = stream_.tellp();
  stream_.seekp(headAt_ < 0 ? 0 : headAt_);
  WriteHeadBlock(stream_, head);
  stream_.seekp(end);
  if (!stream_) throw GIFException("Stream write error");
}

void TGifStreamWriter::WriteGraphicControl(const TGifGraphicControl& control) {
  WriteGraphicControlBlock(stream_, control);
}

// Application extension "NETSCAPE2.0" with the loop count sub-block.
void TGifStreamWriter::WriteLoop(std::uint16_t loopCount) {
  static constexpr char kHead[] = "\x21\xFF\x0BNETSCAPE2.0";
  WriteBytes(stream_, kHead, sizeof kHead - 1);
  const std::uint8_t loop[5] = {3, 1, static_cast<std::uint8_t>(loopCount), static_cast<std::uint8_t>(loopCount >> 8),
                                0};
  WriteBytes(stream_, loop, sizeof loop);
}

void TGifStreamWriter::WriteImageHead(const TGifImageHead& image, std::span<const TGIFColor> localTable) {
  WriteImageHeadBlock(stream_, image, localTable);
  ++images_;
}

void TGifStreamWriter::WriteImageData(std::string_view data) { WriteBytes(stream_, data.data(), data.size()); }

void TGifStreamWriter::Finish() {
  WriteByte(stream_, kTrailer);
  stream_.flush();
  if (!stream_) throw GIFException("Stream write error");
}

}  // namespace tovasel
