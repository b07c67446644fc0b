#include "gif/text_extensions.h"

#include <ostream>

#include "gif/stream_output.h"

namespace tovasel {

// Comment Extension: the text as data sub-blocks, then the terminator.
void TGIFCommentExtension::SaveToStream(std::ostream& stream) {
  const std::uint8_t head[2] = {ExtensionIntroducer, Label};
  WriteBytes(stream, head, sizeof head);
  WriteTextSubBlocks(stream, lines_);
  WriteByte(stream, 0);
}

// Plain Text Extension: block size 12, the text grid, then the text.
void TGIFTextExtension::SaveToStream(std::ostream& stream) {
  const std::uint8_t head[15] = {ExtensionIntroducer,
                                 Label,
                                 12,
                                 static_cast<std::uint8_t>(GridLeft),
                                 static_cast<std::uint8_t>(GridLeft >> 8),
                                 static_cast<std::uint8_t>(GridTop),
                                 static_cast<std::uint8_t>(GridTop >> 8),
                                 static_cast<std::uint8_t>(GridWidth),
                                 static_cast<std::uint8_t>(GridWidth >> 8),
                                 static_cast<std::uint8_t>(GridHeight),
                                 static_cast<std::uint8_t>(GridHeight >> 8),
                                 CharWidth,
                                 CharHeight,
                                 ForegroundIndex,
                                 BackgroundIndex};
  WriteBytes(stream, head, sizeof head);
  WriteTextSubBlocks(stream, lines_);
  WriteByte(stream, 0);
}

}  // namespace tovasel
