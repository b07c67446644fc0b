#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "gif/gif_encoder.h"

namespace tovasel {

// The standard GIF compressor: variable code width from MinCodeSize + 1 up to
// 12 bits. Codes are assigned up to 4094; the miss that would assign 4095
// emits a Clear code (at width 12) and starts a new table.
class TLZWEncoder final : public TGIFEncoder {
 public:
  // Largest code the table assigns before it starts over.
  static constexpr int LastAssignedCode = 4094;

  TLZWEncoder();
  ~TLZWEncoder() override;

 protected:
  void Encode() override;
};

}  // namespace tovasel
