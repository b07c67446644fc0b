#include "gif/rle_encoder.h"

#include <cmath>

namespace tovasel {

std::int64_t TriangleCost(std::int64_t length, std::int64_t limit) {
  const std::int64_t perTable = limit * (limit + 1) / 2;
  std::int64_t cost = (length / perTable) * limit;
  const std::int64_t rest = length % perTable;
  if (rest > 0) {
    // Smallest k with k(k + 1) >= 2 * rest; the floating estimate is only a
    // start and is corrected by single steps.
    auto k = static_cast<std::int64_t>(std::sqrt(2.0 * static_cast<double>(rest)));
    while (k > 1 && (k - 1) * k >= 2 * rest) --k;
    while (k * (k + 1) < 2 * rest) ++k;
    cost += k;
  }
  return cost;
}

void TRLEEncoder::ResetTable() {
  widenAt_ = widenAtStart_;
  resetAt_ = resetAtStart_;
  codesSinceReset_ = 0;
  runTableLength_ = 0;
  resetPending_ = true;
  EmitCode(clearCode_);
  codeWidth_ = initialCodeWidth_;
}

void TRLEEncoder::EmitPlain(int code) {
  resetPending_ = false;
  EmitCode(code);
  ++codesSinceReset_;
  // The decoder's table reaches the next power of two here.
  if (codesSinceReset_ >= widenAt_) {
    widenAt_ += 1 << codeWidth_;
    ++codeWidth_;
  }
  if (codesSinceReset_ >= resetAt_) ResetTable();
}

void TRLEEncoder::Encode() {
  widenAtStart_ = clearCode_ - 1;
  resetAtStart_ = minCodeSize_ > 3 ? clearCode_ - 2 : 9;
  runCodeLimit_ = 4095 - firstFreeCode_;
  runPixel_ = -1;
  runTablePixel_ = -1;
  ResetTable();

  std::int64_t length = 0;
  for (auto run = Walk().NextRun(); !run.empty(); run = Walk().NextRun()) {
    for (const std::uint8_t pixel : run) {
      if (pixel == runPixel_) {
        ++length;
        continue;
      }
      if (length > 0) FlushRun(length);
      runPixel_ = pixel;
      length = 1;
    }
  }
  if (length > 0) FlushRun(length);
}

void TRLEEncoder::FlushRun(std::int64_t length) {
  if (length == 1) {
    EmitPlain(runPixel_);
  } else if (resetPending_) {
    RunsAfterClear(length);
  } else if (runTableLength_ >= 2 && runTablePixel_ == runPixel_) {
    RunsFromTable(length);
  } else {
    RepeatOrRestart(length);
  }
}

void TRLEEncoder::RepeatOrRestart(std::int64_t length) {
  if (TriangleCost(length, runCodeLimit_) + 1 < length) {
    ResetTable();
    RunsAfterClear(length);
    return;
  }
  for (std::int64_t i = 0; i < length; ++i) EmitPlain(runPixel_);
}

void TRLEEncoder::RunsAfterClear(std::int64_t length) {
  resetAt_ = runCodeLimit_;
  runTablePixel_ = runPixel_;
  std::int64_t k = 1;
  while (length > 0) {
    if (k == 1) {
      runTableLength_ = 1;
      EmitPlain(runPixel_);
      length -= 1;
    } else if (k <= length) {
      runTableLength_ = k;
      EmitPlain(firstFreeCode_ + static_cast<int>(k) - 2);
      length -= k;
    } else {
      // The decoder defines run k from this code, whatever it is.
      ++runTableLength_;
      EmitPlain(length == 1 ? runPixel_ : firstFreeCode_ + static_cast<int>(length) - 2);
      break;
    }
    k = codesSinceReset_ == 0 ? 1 : k + 1;
  }
  resetAt_ = resetAtStart_;
  if (codesSinceReset_ >= resetAtStart_) ResetTable();
}

void TRLEEncoder::RunsFromTable(std::int64_t length) {
  const std::int64_t tableRun = runTableLength_;
  std::int64_t whole = length / tableRun;
  std::int64_t rest = length % tableRun;
  std::int64_t restCost = rest > 0 ? 1 : 0;
  if (codesSinceReset_ + whole + restCost > runCodeLimit_) {
    whole = runCodeLimit_ - codesSinceReset_;
    rest = length - tableRun * whole;
    restCost = TriangleCost(rest, runCodeLimit_) + 1;
  }
  if (TriangleCost(length, runCodeLimit_) + 1 < whole + restCost) {
    ResetTable();
    RunsAfterClear(length);
    return;
  }
  resetAt_ = runCodeLimit_;
  const int wholeCode = firstFreeCode_ + static_cast<int>(tableRun) - 2;
  for (std::int64_t i = 0; i < whole; ++i) EmitPlain(wholeCode);
  if (rest > 0) {
    if (resetPending_) {
      RunsAfterClear(rest);
    } else {
      EmitPlain(rest == 1 ? runPixel_ : firstFreeCode_ + static_cast<int>(rest) - 2);
    }
  }
  resetAt_ = resetAtStart_;
  if (codesSinceReset_ >= resetAtStart_) ResetTable();
}

}  // namespace tovasel
