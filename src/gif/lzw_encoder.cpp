#include "gif/lzw_encoder.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <cstring>
#include <span>

#include "imaging/byte_words.h"

namespace tovasel {

namespace {

// Almost every pixel extends the current string, so each table lookup waits
// on the one before it; the work on that chain decides the encoder's speed.
//
// The table works on string ids, a fixed random permutation of the codes.
// A lookup first asks the prefix's last-found child, one load from a small
// array indexed by the prefix id: in animation frames the same string is
// mostly followed by the same pixel. Otherwise it probes an open-addressing
// table from id(prefix) XOR a random per-pixel term. Both terms being random
// tables makes this simple tabulation hashing, which keeps linear probes
// short whatever the frame (prefix XOR a shifted pixel clustered the slots
// of frames with few distinct strings), and the pixel term is looked up
// ahead of the chain.
constexpr int kCodeBits = 12;
constexpr std::uint32_t kCodeCount = 1u << kCodeBits;
constexpr int kSlotBits = 13;
constexpr std::uint32_t kSlotMask = (1u << kSlotBits) - 1;

// A small linear congruential generator: the tables only need to look
// random, and the same tables on every build keep the speed reproducible.
constexpr std::uint32_t NextRandom(std::uint32_t& state) {
  state = state * 1664525u + 1013904223u;
  return state >> 8;
}

struct TIdTables {
  std::array<std::uint16_t, kCodeCount> IdOfCode{};
  std::array<std::uint16_t, kCodeCount> CodeOfId{};
  std::array<std::uint16_t, 256> PixelTerm{};
};

constexpr TIdTables MakeIdTables() {
  TIdTables tables;
  for (std::uint32_t code = 0; code < kCodeCount; ++code) {
    tables.IdOfCode[code] = static_cast<std::uint16_t>(code);
  }
  std::uint32_t state = 0x746F7661u;
  // Code 4095 is never assigned and keeps id 4095, so no stored key has
  // all bits set and an all-ones slot can mark an empty one.
  for (std::uint32_t i = kCodeCount - 2; i > 0; --i) {
    const std::uint32_t j = NextRandom(state) % (i + 1);
    const std::uint16_t swap = tables.IdOfCode[i];
    tables.IdOfCode[i] = tables.IdOfCode[j];
    tables.IdOfCode[j] = swap;
  }
  for (std::uint32_t code = 0; code < kCodeCount; ++code) {
    tables.CodeOfId[tables.IdOfCode[code]] = static_cast<std::uint16_t>(code);
  }
  for (auto& term : tables.PixelTerm) term = static_cast<std::uint16_t>(NextRandom(state) & kSlotMask);
  return tables;
}

constexpr TIdTables kIds = MakeIdTables();

class TStringTable {
 public:
  static constexpr std::uint32_t EmptySlot = 0xFFFFFFFFu;
  // Never a pixel, so a cleared child cache never answers.
  static constexpr std::uint16_t NoChild = 0xFFFF;
  // Never a string id, so a cleared jump is never taken.
  static constexpr std::uint16_t NoJump = 0xFFFF;

  void Clear() {
    slots_.fill(EmptySlot);
    childPixel_.fill(NoChild);
    jumpId_.fill(NoJump);
  }

  // Slots hold the string's own id above its 20-bit key (prefix id, pixel).
  std::array<std::uint32_t, kSlotMask + 1> slots_;
  // Per prefix id: the pixel and id of the child its last lookup found.
  std::array<std::uint16_t, kCodeCount> childPixel_;
  std::array<std::uint16_t, kCodeCount> childId_;
  // Per prefix id: the eight pixels that last extended it without a code
  // going out, and the string they led to.
  std::array<std::uint64_t, kCodeCount> jumpPixels_;
  std::array<std::uint16_t, kCodeCount> jumpId_;
};

TStringTable& ThreadTable() {
  // Per thread rather than per frame: the encoder is made for every frame.
  thread_local TStringTable table;
  return table;
}

// A decoder adds one string per code it reads, so the width follows the
// table: it grows right after a code that leaves the next free code past the
// current limit (never beyond 12 bits). Clear goes out at the current width;
// the decoder then drops back to the initial width and an empty table. The
// encoder and the replay of recorded codes both follow the width through
// this one class.
class TCodeWidth {
 public:
  explicit TCodeWidth(int minCodeSize) : initial_(minCodeSize + 1), firstFree_((1 << minCodeSize) + 2) {}
  int Width() const { return width_; }
  // After a code went out at Width(); a data code may have Clear's value
  // when pixels are wider than the code size.
  void After(bool clear) {
    if (clear) {
      width_ = initial_;
      limit_ = (1 << width_) - 1;
      nextCode_ = firstFree_;
      return;
    }
    if (nextCode_ > limit_) {
      ++width_;
      limit_ = width_ >= 12 ? 4096 : (1 << width_) - 1;
    }
    // A code that left the table full is followed by Clear, which resets
    // the count anyway.
    ++nextCode_;
  }

 private:
  const int initial_;
  const int firstFree_;
  int width_ = initial_;
  int limit_ = (1 << initial_) - 1;
  int nextCode_ = 0;
};

// The LZW parse of a frame's pixels at a code size: emit(code, clear)
// receives Clear and every data code in order (not End). Codes are assigned up to 4094; the miss
// that would assign 4095 emits a Clear and starts a new table.
template <typename Emit>
void ParseLzw(TImageWalk& walk, int minCodeSize, Emit&& emit) {
  TStringTable& table = ThreadTable();
  std::uint32_t* const slots = table.slots_.data();
  std::uint16_t* const childPixel = table.childPixel_.data();
  std::uint16_t* const childId = table.childId_.data();
  std::uint64_t* const jumpPixels = table.jumpPixels_.data();
  std::uint16_t* const jumpId = table.jumpId_.data();
  const std::uint16_t* const pixelTerm = kIds.PixelTerm.data();
  const int clearCode = 1 << minCodeSize;
  const int firstFree = clearCode + 2;
  int nextCode = firstFree;

  const auto resetTable = [&] {
    emit(clearCode, true);
    table.Clear();
    nextCode = firstFree;
  };

  std::uint32_t prefixId = 0;
  // One pixel onto the current string: the string grows, or its code goes
  // out and the pixel starts the next one. True when a code went out.
  const auto step = [&](std::uint32_t value) {
    if (childPixel[prefixId] == value) {
      prefixId = childId[prefixId];
      return false;
    }
    const std::uint32_t key = (prefixId << 8) | value;
    std::uint32_t slot = prefixId ^ pixelTerm[value];
    std::uint32_t entry = slots[slot];
    while ((entry & 0xFFFFFu) != key && entry != TStringTable::EmptySlot) {
      slot = (slot + 1) & kSlotMask;
      entry = slots[slot];
    }
    if (entry != TStringTable::EmptySlot) {
      childPixel[prefixId] = static_cast<std::uint16_t>(value);
      prefixId = entry >> 20;
      childId[key >> 8] = static_cast<std::uint16_t>(prefixId);
      return false;
    }
    emit(static_cast<int>(kIds.CodeOfId[prefixId]), false);
    prefixId = kIds.IdOfCode[value];
    if (nextCode <= TLZWEncoder::LastAssignedCode) {
      slots[slot] = (static_cast<std::uint32_t>(kIds.IdOfCode[nextCode]) << 20) | key;
      ++nextCode;
    } else {
      resetTable();
    }
    return true;
  };

  // The data always begins with a Clear code.
  resetTable();
  std::span<const std::uint8_t> run = walk.NextRun();
  if (run.empty()) return;
  prefixId = kIds.IdOfCode[run[0]];
  run = run.subspan(1);
  do {
    const std::uint8_t* pixel = run.data();
    const std::uint8_t* const end = pixel + run.size();
    // Eight pixels at a time where they extend the string as they did the
    // last time it met them: every string on the way is in the table (the
    // table only loses strings when it is cleared, which clears the jumps),
    // so no code goes out among them.
    while (end - pixel >= 8) {
      const std::uint64_t ahead = Load8(pixel);
      if (jumpPixels[prefixId] == ahead && jumpId[prefixId] != TStringTable::NoJump) {
        prefixId = jumpId[prefixId];
        pixel += 8;
        continue;
      }
      const std::uint32_t from = prefixId;
      const std::uint8_t* const stop = pixel + 8;
      bool restarted = false;
      while (pixel != stop && !restarted) restarted = step(*pixel++);
      if (!restarted) {
        jumpPixels[from] = ahead;
        jumpId[from] = static_cast<std::uint16_t>(prefixId);
      }
    }
    for (; pixel != end; ++pixel) step(*pixel);
    run = walk.NextRun();
  } while (!run.empty());
  emit(static_cast<int>(kIds.CodeOfId[prefixId]), false);
}

int MinCodeSizeOf(int bits) { return std::clamp(bits, 2, 8); }


}  // namespace

TLZWEncoder::TLZWEncoder() = default;
TLZWEncoder::~TLZWEncoder() = default;

void TLZWEncoder::Encode() {
  TCodeWidth width(minCodeSize_);
  ParseLzw(Walk(), minCodeSize_, [&](int code, bool clear) {
    codeWidth_ = width.Width();
    EmitCode(code);
    width.After(clear);
  });
  // End goes out at the width the last code left.
  codeWidth_ = width.Width();
}

TRecordedLzw RecordLzwCodes(const std::uint8_t* pixels, int width, int height, bool interlaced, int bits) {
  TRecordedLzw codes;
  codes.MinCodeSize = MinCodeSizeOf(bits);
  codes.Width = width;
  codes.Height = height;
  codes.Interlaced = interlaced;
  const int clearCode = 1 << codes.MinCodeSize;
  // Below the Clear code a code is a pixel value: with no value that high,
  // the codes below it are exactly the values that go out on their own.
  if (width <= 0 || height <= 0 || pixels == nullptr ||
      LargestPixel(pixels, static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) >= clearCode) {
    return codes;
  }
  TImageWalk walk(pixels, width, height, interlaced);
  codes.Codes.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) / 32);
  ParseLzw(walk, codes.MinCodeSize, [&](int code, bool clear) {
    codes.Codes.push_back(static_cast<std::uint16_t>(code));
    if (clear) {
      ++codes.Clears;
    } else if (code < clearCode) {
      // A value first met cannot extend any string, so it goes out on its
      // own: the values that go out alone are all the frame holds.
      codes.Values.set(static_cast<std::size_t>(code));
    }
  });
  return codes;
}

TLzwReplay::TLzwReplay(const TRecordedLzw& codes, const TColorTranslation& renaming)
    : codes_(codes), renaming_(renaming) {}

bool TLzwReplay::CarriesOver(const TRecordedLzw& codes, int bits, int pixelLimit, const TColorTranslation& renaming) {
  if (codes.Codes.empty()) return false;
  const int minCodeSize = MinCodeSizeOf(bits);
  std::bitset<256> renamed;
  for (std::size_t v = 0; v < codes.Values.size(); ++v) {
    if (!codes.Values[v]) continue;
    const std::uint8_t to = renaming[v];
    // Two values made one change the strings; a value past the table is
    // refused by the encoder, which the caller leaves to raise it.
    if (renamed[to] || to >= pixelLimit || to >= (1 << minCodeSize)) return false;
    renamed.set(to);
  }
  if (minCodeSize == codes.MinCodeSize) return true;
  // At another code size the strings are the same as long as neither table
  // fills: the codes keep their order, only their numbers move.
  const std::int64_t dataCodes = static_cast<std::int64_t>(codes.Codes.size()) - codes.Clears;
  const int firstFree = (1 << minCodeSize) + 2;
  return codes.Clears == 1 && firstFree + dataCodes - 2 <= TLZWEncoder::LastAssignedCode;
}

void TLzwReplay::Encode() {
  const int recordedClear = 1 << codes_.MinCodeSize;
  const int shift = firstFreeCode_ - (recordedClear + 2);
  TCodeWidth width(minCodeSize_);
  for (const std::uint16_t recorded : codes_.Codes) {
    int code = recorded + shift;
    if (recorded < recordedClear) code = renaming_[recorded];
    if (recorded == recordedClear) code = clearCode_;
    codeWidth_ = width.Width();
    EmitCode(code);
    width.After(recorded == recordedClear);
  }
  codeWidth_ = width.Width();
}

}  // namespace tovasel
