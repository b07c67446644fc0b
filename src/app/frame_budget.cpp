#include "app/frame_budget.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace tovasel {

std::int64_t FramesCost(std::int64_t frames, std::int64_t pixels) {
  if (frames <= 0) return 0;
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  const std::int64_t each = std::max<std::int64_t>(pixels, 0) + kFrameBookkeeping;
  if (each > kMax / frames) return kMax;
  return frames * each;
}

std::int64_t TFrameBudget::Available() const {
  const std::lock_guard lock(mutex_);
  return capacity_ - reserved_;
}

bool TFrameBudget::TryReserve(std::int64_t units) {
  if (units < 0) return false;
  const std::lock_guard lock(mutex_);
  if (units > capacity_ - reserved_) return false;
  reserved_ += units;
  return true;
}

void TFrameBudget::Release(std::int64_t units) {
  const std::lock_guard lock(mutex_);
  reserved_ -= std::clamp<std::int64_t>(units, 0, reserved_);
}

TBudgetHold::TBudgetHold(TFrameBudget& budget, std::int64_t units) {
  if (budget.TryReserve(units)) {
    budget_ = &budget;
    units_ = units;
  }
}

TBudgetHold::TBudgetHold(TBudgetHold&& other) noexcept
    : budget_(std::exchange(other.budget_, nullptr)), units_(std::exchange(other.units_, 0)) {}

TBudgetHold& TBudgetHold::operator=(TBudgetHold&& other) noexcept {
  if (this != &other) {
    Reset();
    budget_ = std::exchange(other.budget_, nullptr);
    units_ = std::exchange(other.units_, 0);
  }
  return *this;
}

void TBudgetHold::ReleasePart(std::int64_t units) {
  if (!budget_) return;
  const std::int64_t part = std::clamp<std::int64_t>(units, 0, units_);
  budget_->Release(part);
  units_ -= part;
}

void TBudgetHold::Reset() {
  if (budget_) budget_->Release(units_);
  budget_ = nullptr;
  units_ = 0;
}

}  // namespace tovasel
