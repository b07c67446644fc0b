#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

// A small FLIC writer for tests, benchmarks, fuzz seeds and the shipped
// sample. It builds files chunk by chunk so that cases are constructed rather
// than typed as bytes, and lets a test bend any size or offset to make a
// damaged file on purpose.
namespace tovasel::flicwriter {

struct TRgb {
  std::uint8_t Red = 0;
  std::uint8_t Green = 0;
  std::uint8_t Blue = 0;
  friend bool operator==(const TRgb&, const TRgb&) = default;
};
using TColours = std::array<TRgb, 256>;

// An 8-bit picture, top row first, Width bytes per row without padding.
struct TIndexedPicture {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Pixels;

  TIndexedPicture() = default;
  TIndexedPicture(int width, int height, std::uint8_t fill = 0)
      : Width(width), Height(height), Pixels(static_cast<std::size_t>(width) * height, fill) {}
  std::uint8_t& At(int x, int y) { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
  std::uint8_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
  const std::uint8_t* Row(int y) const { return Pixels.data() + static_cast<std::size_t>(y) * Width; }
  friend bool operator==(const TIndexedPicture&, const TIndexedPicture&) = default;
};

// Chunk types of the FLIC format.
inline constexpr std::uint16_t kColor256 = 4;
inline constexpr std::uint16_t kDeltaFlc = 7;
inline constexpr std::uint16_t kColor64 = 11;
inline constexpr std::uint16_t kDeltaFli = 12;
inline constexpr std::uint16_t kBlack = 13;
inline constexpr std::uint16_t kByteRun = 15;
inline constexpr std::uint16_t kFliCopy = 16;
inline constexpr std::uint16_t kPostageStamp = 18;

struct TChunk {
  std::uint16_t Type = 0;
  std::vector<std::uint8_t> Payload;
  // Written in place of the true size (6 + payload), to damage a file.
  std::optional<std::uint32_t> SizeOverride;
};

struct TFrame {
  std::vector<TChunk> Chunks;
  std::uint16_t Type = 0xF1FA;
  std::optional<std::uint32_t> SizeOverride;
  std::optional<std::uint16_t> ChunkCountOverride;
};

// Everything that goes into one file. Frames are written in order after the
// 128-byte header; with RingFrame the last of them is the ring frame and is
// not counted in the header's frame count.
struct TFlicLayout {
  std::uint16_t Magic = 0xAF12;
  std::uint16_t Width = 0;
  std::uint16_t Height = 0;
  std::uint32_t Speed = 70;
  bool RingFrame = true;
  // Classic FLI layout: 0 at header offsets 80 and 84, frame 1 at 128.
  bool Classic = false;
  std::vector<TFrame> Frames;

  std::optional<std::uint16_t> FrameCountOverride;
  std::optional<std::uint32_t> SizeOverride;
  std::optional<std::uint32_t> FirstFrameOverride;
  std::optional<std::uint32_t> SecondFrameOverride;
};

std::vector<std::uint8_t> Serialize(const TFlicLayout& layout);
void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// Offset of frame i (0-based) in the serialised layout.
std::uint32_t FrameOffset(const TFlicLayout& layout, std::size_t index);

// --- Chunk payloads -------------------------------------------------------

// One colour packet: skip entries, then set Colours.size() entries (1..256).
struct TColourPacket {
  std::uint8_t Skip = 0;
  std::vector<TRgb> Colours;
};
// COLOR_256 and COLOR_64 payloads. COLOR_64 stores each component >> 2.
std::vector<std::uint8_t> Color256Payload(const std::vector<TColourPacket>& packets);
std::vector<std::uint8_t> Color64Payload(const std::vector<TColourPacket>& packets);
// All 256 entries in one packet (skip 0, count 0).
std::vector<std::uint8_t> AllColours256(const TColours& colours);
std::vector<std::uint8_t> AllColours64(const TColours& colours);

std::vector<std::uint8_t> ByteRunPayload(const TIndexedPicture& picture);
std::vector<std::uint8_t> CopyPayload(const TIndexedPicture& picture);
// Deltas that turn `from` into `to` (same size); empty when nothing changes.
std::vector<std::uint8_t> DeltaFliPayload(const TIndexedPicture& from, const TIndexedPicture& to);
std::vector<std::uint8_t> DeltaFlcPayload(const TIndexedPicture& from, const TIndexedPicture& to);

// --- Whole animations -----------------------------------------------------

enum class TEncoding : std::uint8_t {
  enDelta,         // the animation's delta kind against the previous picture
  enByteRun,       // whole picture, run-length coded
  enCopy,          // whole picture, uncompressed
  enBlackThenDelta // BLACK chunk, then a delta from an all-zero picture
};

struct TAnimationFrame {
  TIndexedPicture Picture;
  TColours Colours{};
  TEncoding Encoding = TEncoding::enDelta;
};

struct TAnimationOptions {
  bool FliDeltas = false;  // DELTA_FLI instead of DELTA_FLC
  bool Colour64 = false;   // COLOR_64 instead of COLOR_256
  bool RingFrame = true;
  bool Classic = false;
  std::uint32_t Speed = 70;
};

// Frame 1 sets every colour and the whole picture (BYTE_RUN unless it asks
// for FLI_COPY); each later frame carries only the colours that changed and a
// delta or whole picture as its encoding asks; the ring frame goes from the
// last picture back to the first.
TFlicLayout BuildAnimation(const std::vector<TAnimationFrame>& frames, const TAnimationOptions& options);

// FrameCount frames that play Cycle over and over, built as BuildAnimation
// builds one cycle, so that a long animation costs the memory of one cycle
// to make. With a ring frame FrameCount must be a multiple of the cycle's
// length (else std::invalid_argument).
TFlicLayout BuildLoopedAnimation(const std::vector<TAnimationFrame>& cycle, int frameCount,
                                 const TAnimationOptions& options);

}  // namespace tovasel::flicwriter
