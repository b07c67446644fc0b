#pragma once

#include <cstdint>

namespace tovasel {

// Values of the decoder's and the player's ErrorCode. The FLIC side records
// problems here instead of raising, so that a damaged file still shows what
// it can.
inline constexpr std::uint32_t kFlicErrorNone = 0;
// The file is missing, unreadable, refused, or shorter than its header says.
inline constexpr std::uint32_t kFlicErrorFile = 0x106;  // 262
// A chunk of unknown type, or a frame or chunk that does not fit the file.
inline constexpr std::uint32_t kFlicErrorChunk = 0x302;  // 770

}  // namespace tovasel
