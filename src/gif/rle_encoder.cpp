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
  widen_at_ = widen_at_start_;
  reset_at_ = reset_at_start_;
  codes_since_reset_ = 0;
  run_table_length_ = 0;
  reset_pending_ = true;
  EmitCode(clear_code_);
  code_width_ = initial_code_width_;
}

void TRLEEncoder::EmitPlain(int code) {
  reset_pending_ = false;
  EmitCode(code);
  ++codes_since_reset_;
  // The decoder's table reaches the next power of two here.
  if (codes_since_reset_ >= widen_at_) {
    widen_at_ += 1 << code_width_;
    ++code_width_;
  }
  if (codes_since_reset_ >= reset_at_) ResetTable();
}

void TRLEEncoder::Encode() {
  widen_at_start_ = clear_code_ - 1;
  reset_at_start_ = min_code_size_ > 3 ? clear_code_ - 2 : 9;
  run_code_limit_ = 4095 - first_free_code_;
  run_pixel_ = -1;
  run_table_pixel_ = -1;
  ResetTable();

  std::int64_t length = 0;
  for (auto run = Walk().NextRun(); !run.empty(); run = Walk().NextRun()) {
    for (const std::uint8_t pixel : run) {
      if (pixel == run_pixel_) {
        ++length;
        continue;
      }
      if (length > 0) FlushRun(length);
      run_pixel_ = pixel;
      length = 1;
    }
  }
  if (length > 0) FlushRun(length);
}

void TRLEEncoder::FlushRun(std::int64_t length) {
  if (length == 1) {
    EmitPlain(run_pixel_);
  } else if (reset_pending_) {
    RunsAfterClear(length);
  } else if (run_table_length_ >= 2 && run_table_pixel_ == run_pixel_) {
    RunsFromTable(length);
  } else {
    RepeatOrRestart(length);
  }
}

void TRLEEncoder::RepeatOrRestart(std::int64_t length) {
  if (TriangleCost(length, run_code_limit_) + 1 < length) {
    ResetTable();
    RunsAfterClear(length);
    return;
  }
  for (std::int64_t i = 0; i < length; ++i) EmitPlain(run_pixel_);
}

void TRLEEncoder::RunsAfterClear(std::int64_t length) {
  reset_at_ = run_code_limit_;
  run_table_pixel_ = run_pixel_;
  std::int64_t k = 1;
  while (length > 0) {
    if (k == 1) {
      run_table_length_ = 1;
      EmitPlain(run_pixel_);
      length -= 1;
    } else if (k <= length) {
      run_table_length_ = k;
      EmitPlain(first_free_code_ + static_cast<int>(k) - 2);
      length -= k;
    } else {
      // The decoder defines run k from this code, whatever it is.
      ++run_table_length_;
      EmitPlain(length == 1 ? run_pixel_ : first_free_code_ + static_cast<int>(length) - 2);
      break;
    }
    k = codes_since_reset_ == 0 ? 1 : k + 1;
  }
  reset_at_ = reset_at_start_;
  if (codes_since_reset_ >= reset_at_start_) ResetTable();
}

void TRLEEncoder::RunsFromTable(std::int64_t length) {
  const std::int64_t tableRun = run_table_length_;
  std::int64_t whole = length / tableRun;
  std::int64_t rest = length % tableRun;
  std::int64_t restCost = rest > 0 ? 1 : 0;
  if (codes_since_reset_ + whole + restCost > run_code_limit_) {
    whole = run_code_limit_ - codes_since_reset_;
    rest = length - tableRun * whole;
    restCost = TriangleCost(rest, run_code_limit_) + 1;
  }
  if (TriangleCost(length, run_code_limit_) + 1 < whole + restCost) {
    ResetTable();
    RunsAfterClear(length);
    return;
  }
  reset_at_ = run_code_limit_;
  const int wholeCode = first_free_code_ + static_cast<int>(tableRun) - 2;
  for (std::int64_t i = 0; i < whole; ++i) EmitPlain(wholeCode);
  if (rest > 0) {
    if (reset_pending_) {
      RunsAfterClear(rest);
    } else {
      EmitPlain(rest == 1 ? run_pixel_ : first_free_code_ + static_cast<int>(rest) - 2);
    }
  }
  reset_at_ = reset_at_start_;
  if (codes_since_reset_ >= reset_at_start_) ResetTable();
}

}  // namespace tovasel
