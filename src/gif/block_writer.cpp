#include "gif/block_writer.h"

#include <algorithm>

#include "gif/stream_output.h"

namespace tovasel {

void TGIFWriter::PutBytes(const std::uint8_t* data, std::size_t count) {
  while (count > 0) {
    const std::size_t room = block_.size() - fill_;
    const std::size_t n = std::min(room, count);
    std::copy_n(data, n, block_.data() + fill_);
    fill_ += n;
    data += n;
    count -= n;
    if (fill_ == block_.size()) FlushBlock();
  }
}

void TGIFWriter::FlushBlock() {
  if (fill_ <= 1) return;
  block_[0] = static_cast<std::uint8_t>(fill_ - 1);
  WriteBytes(stream_, block_.data(), fill_);
  fill_ = 1;
}

}  // namespace tovasel
