#include "gif/application_extension.h"

#include <algorithm>
#include <ostream>

#include "gif/stream_output.h"

namespace tovasel {

TAppIdentifier MakeAppIdentifier(std::string_view text) {
  TAppIdentifier identifier{};
  std::copy_n(text.begin(), std::min(text.size(), identifier.size()), identifier.begin());
  return identifier;
}

TGIFApplicationExtension::TGIFApplicationExtension(TGIFSubImage& frame) : TGIFExtension(frame) {}

// Application Extension: block size 11, identifier and authentication code,
// then the application's data sub-blocks.
void TGIFApplicationExtension::SaveToStream(std::ostream& stream) {
  const std::uint8_t head[3] = {ExtensionIntroducer, Label, 11};
  WriteBytes(stream, head, sizeof head);
  WriteBytes(stream, identifier_.data(), identifier_.size());
  WriteAppData(stream);
}

void TGIFApplicationExtension::WriteAppData(std::ostream& stream) { WriteByte(stream, 0); }

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage& frame) : TGIFApplicationExtension(frame) {
  SetAppIdentifier(MakeAppIdentifier("NETSCAPE2.0"));
}

// Sub-block 1 carries the loop count, sub-block 2 the optional preload size.
void TGIFAppExtNSLoop::WriteAppData(std::ostream& stream) {
  const std::uint8_t loop[5] = {3, 1, static_cast<std::uint8_t>(loopCount_),
                                static_cast<std::uint8_t>(loopCount_ >> 8), 0};
  if (preloadSize_ == 0) {
    WriteBytes(stream, loop, sizeof loop);
    return;
  }
  WriteBytes(stream, loop, 4);
  const std::uint8_t preload[7] = {5,
                                   2,
                                   static_cast<std::uint8_t>(preloadSize_),
                                   static_cast<std::uint8_t>(preloadSize_ >> 8),
                                   static_cast<std::uint8_t>(preloadSize_ >> 16),
                                   static_cast<std::uint8_t>(preloadSize_ >> 24),
                                   0};
  WriteBytes(stream, preload, sizeof preload);
}

void TGIFUnknownAppExtension::WriteAppData(std::ostream& stream) {
  for (const TGIFBlock& block : blocks_) {
    if (block.BlockLength() == 0) continue;
    WriteByte(stream, block.BlockLength());
    WriteBytes(stream, block.BlockBytes().data(), block.BlockLength());
  }
  WriteByte(stream, 0);
}

}  // namespace tovasel
