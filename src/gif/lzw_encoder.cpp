#include "gif/lzw_encoder.h"

namespace tovasel {

TLZWEncoder::TLZWEncoder() = default;
TLZWEncoder::~TLZWEncoder() = default;

void TLZWEncoder::Encode() {
  // Allocated per frame: the table is too large for the stack.
  table_ = std::make_unique<TLZWStringTable>();
  TLZWStringTable& table = *table_;
  int limit = (1 << code_width_) - 1;
  int nextCode = 0;

  // A decoder adds one string per code it reads, so the width follows the
  // table: it grows right after the code sent while nextCode first passes the
  // current limit (never beyond 12 bits).
  const auto emit = [&](int code) {
    EmitCode(code);
    if (nextCode > limit) {
      ++code_width_;
      limit = code_width_ >= 12 ? 4096 : (1 << code_width_) - 1;
    }
  };
  // Clear goes out at the current width; the decoder then drops back to the
  // initial width and an empty table.
  const auto resetTable = [&] {
    emit(clear_code_);
    code_width_ = initial_code_width_;
    limit = (1 << code_width_) - 1;
    table.Clear();
    nextCode = first_free_code_;
  };

  // The data always begins with a Clear code.
  resetTable();
  std::span<const std::uint8_t> run = Walk().NextRun();
  if (run.empty()) return;
  int prefix = run[0];
  run = run.subspan(1);
  do {
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
        resetTable();
      }
    }
    run = Walk().NextRun();
  } while (!run.empty());
  emit(prefix);
  table_.reset();
}

}  // namespace tovasel
