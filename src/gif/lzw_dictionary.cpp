#include "gif/lzw_dictionary.h"

namespace tovasel {

TLzwDictionary::TLzwDictionary() : slots_(kSlotMask + 1, kEmpty) { added_.reserve(kFull); }

void TLzwDictionary::Clear(int minCodeSize) {
  RollBack(firstFree_);
  firstFree_ = (1 << minCodeSize) + 2;
  next_ = firstFree_;
}

void TLzwDictionary::Add(int prefix, int pixel) {
  if (next_ >= kFull) return;
  const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | static_cast<std::uint32_t>(pixel);
  std::uint32_t slot = Slot(key);
  std::uint32_t filled = kNoSlot;
  for (;;) {
    const std::uint32_t entry = slots_[slot];
    if (entry == kEmpty) {
      slots_[slot] = (key << 12) | static_cast<std::uint32_t>(next_);
      filled = slot;
      break;
    }
    if ((entry >> 12) == key) break;
    slot = (slot + 1) & kSlotMask;
  }
  added_.push_back(filled);
  ++next_;
}

void TLzwDictionary::RollBack(int mark) {
  // Open addressing without deletions: the slots filled last are emptied
  // first, so every probe sequence left stays unbroken.
  while (next_ > mark && !added_.empty()) {
    if (added_.back() != kNoSlot) slots_[added_.back()] = kEmpty;
    added_.pop_back();
    --next_;
  }
  next_ = std::max(mark, firstFree_);
}

}  // namespace tovasel
