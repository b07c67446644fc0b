#pragma once

#include <array>
#include <cstdint>

namespace tovasel {

// One entry of a logical palette, in the order the FLIC colour chunks and the
// display's palette use: red, green, blue, flags.
struct TPaletteEntry {
  std::uint8_t Red = 0;
  std::uint8_t Green = 0;
  std::uint8_t Blue = 0;
  std::uint8_t Flags = 0;
  friend bool operator==(const TPaletteEntry&, const TPaletteEntry&) = default;
};

// The 1028-byte logical palette block: version, entry count, 256 entries.
struct TLogPalette {
  static constexpr std::uint16_t kVersion = 0x300;
  static constexpr std::uint16_t kEntryCount = 256;
  std::uint16_t Version = kVersion;
  std::uint16_t Count = kEntryCount;
  std::array<TPaletteEntry, kEntryCount> Entries{};
  friend bool operator==(const TLogPalette&, const TLogPalette&) = default;
};

// A 256-colour table: the player's working palette (written by the colour
// chunks) and the frame surface's own copy. There is no display system
// palette to start from, so a default palette is all black.
class TPalette {
 public:
  TPalette() = default;
  // Copies the block; version and count are forced to their only valid values.
  explicit TPalette(const TLogPalette& block) : log_(block) {
    log_.Version = TLogPalette::kVersion;
    log_.Count = TLogPalette::kEntryCount;
  }

  const TLogPalette& LogPalette() const { return log_; }
  const TPaletteEntry& Entry(std::size_t index) const { return log_.Entries[index]; }
  TPaletteEntry& Entry(std::size_t index) { return log_.Entries[index]; }

  friend bool operator==(const TPalette&, const TPalette&) = default;

 private:
  TLogPalette log_;
};

}  // namespace tovasel
