#include "gif/lzw_encoder.h"

namespace tovasel {

TLZWEncoder::TLZWEncoder() = default;
TLZWEncoder::~TLZWEncoder() = default;

void TLZWEncoder::EmitCode(int code) {
  TGIFEncoder::EmitCode(code);
  // A decoder adds one string per code it reads, so the width follows the
  // table: it grows right after the code sent while NextCode first passes the
  // current limit, and drops back after a Clear.
  if (reset_pending_) {
    code_width_ = initial_code_width_;
    code_limit_ = (1 << code_width_) - 1;
    reset_pending_ = false;
  } else if (next_code_ > code_limit_) {
    ++code_width_;
    code_limit_ = code_width_ >= 12 ? 4096 : (1 << code_width_) - 1;
  }
}

void TLZWEncoder::ResetTable() {
  reset_pending_ = true;
  EmitCode(clear_code_);
  table_->Clear();
  next_code_ = first_free_code_;
}

void TLZWEncoder::Encode() {
  // Allocated per frame: the table is too large for the stack.
  table_ = std::make_unique<TLZWStringTable>();
  TLZWStringTable& table = *table_;
  TGIFWriter& writer = Writer();
  ResetTable();

  // The hot loop keeps the bit packer and the code counter in locals; the
  // members are brought up to date around the rare table resets.
  std::uint32_t accumulator = bit_accumulator_;
  int bitCount = bit_count_;
  int width = code_width_;
  int limit = code_limit_;
  int nextCode = next_code_;
  const auto emit = [&](int code) {
    accumulator |= static_cast<std::uint32_t>(code) << bitCount;
    bitCount += width;
    while (bitCount >= 8) {
      writer.PutByte(static_cast<std::uint8_t>(accumulator));
      accumulator >>= 8;
      bitCount -= 8;
    }
    if (nextCode > limit) {
      ++width;
      limit = width >= 12 ? 4096 : (1 << width) - 1;
    }
  };

  std::span<const std::uint8_t> run = Walk().NextRun();
  if (run.empty()) return;
  int prefix = run[0];
  run = run.subspan(1);
  for (;;) {
    for (const std::uint8_t pixel : run) {
      const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | pixel;
      const bool canAssign = nextCode <= LastAssignedCode;
      const int code = table.FindOrInsert(key, canAssign ? nextCode : -1);
      if (code >= 0) {
        prefix = code;
        continue;
      }
      emit(prefix);
      prefix = pixel;
      if (canAssign) {
        ++nextCode;
      } else {
        bit_accumulator_ = accumulator;
        bit_count_ = bitCount;
        code_width_ = width;
        code_limit_ = limit;
        next_code_ = nextCode;
        ResetTable();
        accumulator = bit_accumulator_;
        bitCount = bit_count_;
        width = code_width_;
        limit = code_limit_;
        nextCode = next_code_;
      }
    }
    run = Walk().NextRun();
    if (run.empty()) break;
  }
  emit(prefix);
  bit_accumulator_ = accumulator;
  bit_count_ = bitCount;
  code_width_ = width;
  code_limit_ = limit;
  next_code_ = nextCode;
  table_.reset();
}

}  // namespace tovasel
