#include "gif/gif_extension.h"

#include <algorithm>
#include <ostream>

#include "gif/stream_output.h"
#include "gif/sub_image.h"

namespace tovasel {

TGIFExtension::TGIFExtension(TGIFSubImage& frame)
    : TGIFItem(frame.OwnerImage()), ownerFrame_(&frame) {}

void WriteTextSubBlocks(std::ostream& stream, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    std::size_t offset = 0;
    while (offset < line.size()) {
      const std::size_t length = std::min<std::size_t>(255, line.size() - offset);
      WriteByte(stream, static_cast<std::uint8_t>(length));
      WriteBytes(stream, line.data() + offset, length);
      offset += length;
    }
  }
}

}  // namespace tovasel
