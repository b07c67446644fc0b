#pragma once

#include <cstdint>
#include <mutex>

namespace tovasel {

// What a frame costs besides its pixels: its colour table and the objects
// that keep it in a cache or a GIF document. Without it a 1 x 1 picture
// repeated millions of times would look free.
inline constexpr std::int64_t kFrameBookkeeping = 1024;

// frames x (pixels + kFrameBookkeeping), saturating at the largest value
// instead of overflowing; 0 for no frames.
std::int64_t FramesCost(std::int64_t frames, std::int64_t pixels);

// A thread-safe account of budget units: reservations succeed while the
// total reserved stays within the capacity, and every reservation is given
// back by Release (a TBudgetHold does it on destruction). One budget may be
// shared by the jobs of a parallel batch; a writer that streams frames out
// can give back what it has written.
class TFrameBudget {
 public:
  // capacity: TLimits::FrameBudget of the caller.
  explicit TFrameBudget(std::int64_t capacity) : capacity_(capacity) {}
  TFrameBudget(const TFrameBudget&) = delete;
  TFrameBudget& operator=(const TFrameBudget&) = delete;

  std::int64_t Capacity() const { return capacity_; }
  std::int64_t Available() const;
  // False, reserving nothing, when fewer than `units` are free (or units < 0).
  bool TryReserve(std::int64_t units);
  void Release(std::int64_t units);

 private:
  mutable std::mutex mutex_;
  const std::int64_t capacity_;
  std::int64_t reserved_ = 0;
};

// Units reserved from a budget, given back when the hold ends.
class TBudgetHold {
 public:
  TBudgetHold() = default;
  // Tries to reserve; Held() tells whether it succeeded.
  TBudgetHold(TFrameBudget& budget, std::int64_t units);
  ~TBudgetHold() { Reset(); }
  TBudgetHold(TBudgetHold&& other) noexcept;
  TBudgetHold& operator=(TBudgetHold&& other) noexcept;
  TBudgetHold(const TBudgetHold&) = delete;
  TBudgetHold& operator=(const TBudgetHold&) = delete;

  bool Held() const { return budget_ != nullptr; }
  std::int64_t Units() const { return units_; }
  // Gives back part of the hold early (at most what is held).
  void ReleasePart(std::int64_t units);
  void Reset();

 private:
  TFrameBudget* budget_ = nullptr;
  std::int64_t units_ = 0;
};

}  // namespace tovasel
