#include "gif/lzw_encoder.h"

#include <array>
#include <cstdint>

namespace tovasel {

namespace {

// The string table for the encoder's hot loop. Almost every pixel extends the
// current string, so each lookup waits on the one before it: the table is
// kept small enough for the first-level cache (at most half full). The hash
// must mix the prefix and the pixel well: a plain XOR of the two clusters
// the slots of frames with few distinct strings and made probing long.
// Entries hold the key above the 12-bit code.
class TChainedStringTable {
 public:
  static constexpr int SlotBits = 13;
  static constexpr std::uint32_t SlotMask = (1u << SlotBits) - 1;

  void Clear() { slots_.fill(EmptySlot); }

  static std::uint32_t SlotOf(std::uint32_t key) { return (key * 0x9E3779B1u) >> (32 - SlotBits); }

  // The code stored for Key starting at Slot, or -1 after storing NewCode
  // there (when NewCode >= 0).
  int FindOrInsert(std::uint32_t slot, std::uint32_t key, int newCode) {
    for (;;) {
      const std::uint32_t entry = slots_[slot];
      if ((entry >> 12) == key) return static_cast<int>(entry & 0xFFF);
      if (entry == EmptySlot) {
        if (newCode >= 0) slots_[slot] = (key << 12) | static_cast<std::uint32_t>(newCode);
        return -1;
      }
      slot = (slot + 1) & SlotMask;
    }
  }

 private:
  // Keys stay below 4095 << 8, so an all-ones slot is never a stored entry.
  static constexpr std::uint32_t EmptySlot = 0xFFFFFFFFu;
  std::array<std::uint32_t, 1u << SlotBits> slots_;
};

TChainedStringTable& ThreadTable() {
  // Per thread rather than per frame: the encoder is made for every frame.
  thread_local TChainedStringTable table;
  return table;
}

}  // namespace

TLZWEncoder::TLZWEncoder() = default;
TLZWEncoder::~TLZWEncoder() = default;

void TLZWEncoder::Encode() {
  TChainedStringTable& table = ThreadTable();
  int limit = (1 << codeWidth_) - 1;
  int nextCode = 0;

  // A decoder adds one string per code it reads, so the width follows the
  // table: it grows right after the code sent while nextCode first passes the
  // current limit (never beyond 12 bits).
  const auto emit = [&](int code) {
    EmitCode(code);
    if (nextCode > limit) {
      ++codeWidth_;
      limit = codeWidth_ >= 12 ? 4096 : (1 << codeWidth_) - 1;
    }
  };
  // Clear goes out at the current width; the decoder then drops back to the
  // initial width and an empty table.
  const auto resetTable = [&] {
    emit(clearCode_);
    codeWidth_ = initialCodeWidth_;
    limit = (1 << codeWidth_) - 1;
    table.Clear();
    nextCode = firstFreeCode_;
  };

  // The data always begins with a Clear code.
  resetTable();
  std::span<const std::uint8_t> run = Walk().NextRun();
  if (run.empty()) return;
  std::uint32_t prefix = run[0];
  run = run.subspan(1);
  do {
    const std::uint8_t* pixel = run.data();
    const std::uint8_t* const end = pixel + run.size();
    for (; pixel != end; ++pixel) {
      const std::uint32_t key = (prefix << 8) | *pixel;
      const std::uint32_t slot = TChainedStringTable::SlotOf(key);
      const bool canAssign = nextCode <= LastAssignedCode;
      const int code = table.FindOrInsert(slot, key, canAssign ? nextCode : -1);
      if (code >= 0) {
        prefix = static_cast<std::uint32_t>(code);
        continue;
      }
      emit(static_cast<int>(prefix));
      prefix = *pixel;
      if (canAssign) {
        ++nextCode;
      } else {
        resetTable();
      }
    }
    run = Walk().NextRun();
  } while (!run.empty());
  emit(static_cast<int>(prefix));
}

}  // namespace tovasel
