#include "gif/lzw_codes.h"

#include <ostream>

#include "gif/block_writer.h"
#include "gif/lzw_dictionary.h"
#include "gif/stream_output.h"

namespace tovasel {

namespace {

// Walks a code list as a decoder does, calling Visit(code, width) for each
// code and the End code.
template <typename Visit>
void WalkCodes(const TLzwCodes& codes, Visit visit) {
  const int clear = 1 << codes.MinCodeSize();
  const int firstFree = clear + 2;
  int next = firstFree;
  bool first = true;
  for (const std::uint16_t code : codes.Codes()) {
    visit(code, TLzwDictionary::WidthFor(next));
    if (code == clear) {
      next = firstFree;
      first = true;
      continue;
    }
    if (!first && next < TLzwDictionary::kFull) ++next;
    first = false;
  }
  visit(clear + 1, TLzwDictionary::WidthFor(next));
}

}  // namespace

void TLzwCodes::Count() {
  bits_ = 0;
  WalkCodes(*this, [this](int, int width) { bits_ += static_cast<std::uint64_t>(width); });
}

std::size_t TLzwCodes::DataSize() const {
  const std::size_t bytes = static_cast<std::size_t>((Bits() + 7) / 8);
  return 1 + bytes + (bytes + 254) / 255 + 1;
}

void WriteLzwCodes(std::ostream& stream, const TLzwCodes& codes) {
  WriteByte(stream, static_cast<std::uint8_t>(codes.MinCodeSize()));
  {
    TGIFWriter writer(stream);
    std::uint32_t accumulator = 0;
    int count = 0;
    WalkCodes(codes, [&](int code, int width) {
      accumulator |= static_cast<std::uint32_t>(code) << count;
      count += width;
      while (count >= 8) {
        writer.PutByte(static_cast<std::uint8_t>(accumulator));
        accumulator >>= 8;
        count -= 8;
      }
    });
    if (count > 0) writer.PutByte(static_cast<std::uint8_t>(accumulator));
    writer.FlushBlock();
  }
  WriteByte(stream, 0);
}

}  // namespace tovasel
