#pragma once

// The LZW encoder as it stood before the dense string table: a hashed table
// probed once per pixel. Kept as the reference the faster encoder must match
// code for code.

#include <memory>

#include "gif/lzw_encoder.h"

namespace tovasel::testing {

class THashedLZWEncoder final : public TGIFEncoder {
 protected:
  void Encode() override {
    auto table = std::make_unique<TLZWStringTable>();
    int limit = (1 << codeWidth_) - 1;
    int nextCode = 0;
    const auto emit = [&](int code) {
      EmitCode(code);
      if (nextCode > limit) {
        ++codeWidth_;
        limit = codeWidth_ >= 12 ? 4096 : (1 << codeWidth_) - 1;
      }
    };
    const auto resetTable = [&] {
      emit(clearCode_);
      codeWidth_ = initialCodeWidth_;
      limit = (1 << codeWidth_) - 1;
      table->Clear();
      nextCode = firstFreeCode_;
    };
    resetTable();
    std::span<const std::uint8_t> run = Walk().NextRun();
    if (run.empty()) return;
    int prefix = run[0];
    run = run.subspan(1);
    do {
      for (const std::uint8_t pixel : run) {
        const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | pixel;
        const bool canAssign = nextCode <= TLZWEncoder::LastAssignedCode;
        const int code = table->FindOrInsert(key, canAssign ? nextCode : -1);
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
  }
};

}  // namespace tovasel::testing
