#pragma once

#include <cstdint>

#include "gif/gif_encoder.h"

namespace tovasel {

// A compressor that never searches strings: it sends pixel codes, Clear codes
// and codes that stand for runs of one repeated pixel, counting codes exactly
// as a decoder adds table entries, so any GIF decoder reads its output.
//
// After a Clear, a decoder that receives pixel P and then the codes
// FirstFreeCode, FirstFreeCode + 1, ... expands them to runs of 2, 3, ...
// copies of P (each code is the one the decoder is about to define). Once
// such a run table exists, FirstFreeCode + n - 2 stands for n copies of P.
class TRLEEncoder final : public TGIFEncoder {
 protected:
  void Encode() override;

 private:
  // Emits a Clear code; the decoder then starts a new table.
  void ResetTable();
  void EmitPlain(int code);
  void FlushRun(std::int64_t length);
  void RepeatOrRestart(std::int64_t length);
  void RunsAfterClear(std::int64_t length);
  void RunsFromTable(std::int64_t length);

  // Set by ResetTable until the next code goes out.
  bool resetPending_ = false;
  int runPixel_ = -1;
  int codesSinceReset_ = 0;
  int widenAt_ = 0;
  int resetAt_ = 0;
  int widenAtStart_ = 0;
  int resetAtStart_ = 0;
  std::int64_t runTableLength_ = 0;
  int runTablePixel_ = -1;
  int runCodeLimit_ = 0;
};

// Codes needed for a run of Length copies when built from a fresh run table
// of at most Limit codes: runs 1, 2, ..., k cover k(k + 1) / 2 pixels.
std::int64_t TriangleCost(std::int64_t length, std::int64_t limit);

}  // namespace tovasel
