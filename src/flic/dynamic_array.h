#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace tovasel {

// Raised when a TDynamicArray cannot be sized.
class EAllocateFailed : public std::runtime_error {
 public:
  EAllocateFailed() : std::runtime_error("Notification Memory Allocation Failed") {}
};

// Raised for an element index outside 1 .. Count.
class EOutOfBounds : public std::runtime_error {
 public:
  EOutOfBounds() : std::runtime_error("Notification Array Reference Out of Bounds") {}
};

// A growable array of 32-bit integers addressed from 1, as the player's
// notification table uses it. The count is a 16-bit number, so no request
// can reach past 256 KiB.
class TDynamicArray {
 public:
  static constexpr int kMaxCount = 0xFFFF;

  explicit TDynamicArray(int count) { SetCount(count); }

  int Count() const { return static_cast<int>(items_.size()); }
  // Resizes to n elements, every one of them 0. A count that does not fit
  // 16 bits, or memory exhaustion, raises EAllocateFailed.
  void SetCount(int n);

  // Element i, 1 <= i <= Count(); any other index raises EOutOfBounds.
  std::int32_t Items(int i) const { return items_[Index(i)]; }
  void SetItems(int i, std::int32_t value) { items_[Index(i)] = value; }

 private:
  std::size_t Index(int i) const {
    if (i < 1 || i > Count()) throw EOutOfBounds();
    return static_cast<std::size_t>(i - 1);
  }

  std::vector<std::int32_t> items_;
};

}  // namespace tovasel
