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
  ResetTable();

  std::span<const std::uint8_t> run = Walk().NextRun();
  if (run.empty()) return;
  int prefix = run[0];
  run = run.subspan(1);
  for (;;) {
    for (const std::uint8_t pixel : run) {
      const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | pixel;
      const bool canAssign = next_code_ <= LastAssignedCode;
      const int code = table.FindOrInsert(key, canAssign ? next_code_ : -1);
      if (code >= 0) {
        prefix = code;
        continue;
      }
      EmitCode(prefix);
      prefix = pixel;
      if (canAssign) {
        ++next_code_;
      } else {
        ResetTable();
      }
    }
    run = Walk().NextRun();
    if (run.empty()) break;
  }
  EmitCode(prefix);
  table_.reset();
}

}  // namespace tovasel
