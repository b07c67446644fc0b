#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <vector>

#include "flic/flic_header.h"
#include "flic/flic_surface.h"
#include "flic/palette.h"
#include "imaging/limits.h"

namespace tovasel {

// What loading a file came to.
struct TFlicLoadResult {
  // False when the file was refused: nothing is kept and the decoder stays
  // closed.
  bool Opened = false;
  // 0, or 262 when the file was refused or held fewer bytes than its header
  // says.
  std::uint32_t ErrorCode = 0;
};

// Walks one FLIC file frame by frame, chunk by chunk, decoding each chunk
// into a surface and a working palette. It knows nothing of frame numbers
// or time; the decoder counts frames. A file opened by path stays open and
// each chunk is read when it is decoded, so memory does not grow with the
// file; a file given as bytes is copied and read from memory.
//
// Every frame and chunk boundary is checked against the end mark (the bytes
// the header's size covers, never more than the file held when opened; bytes
// that can no longer be read, in a file cut short since, count as past it): a frame header that does not fit, or a frame
// smaller than its own header, is not decoded and the walk wraps as at the
// end of the file; a chunk header that does not fit or a chunk smaller than
// its header ends the frame; a chunk running past the end mark is decoded up
// to it. Each of these reports 770. Every step moves the walk forward or
// wraps it, so no input can make it loop.
//
// Chunk lists cost no more than the bytes and pixels they produce: every
// frame gets a work budget of kWorkPerPixel units per picture pixel, plus
// kWorkPerRow per row and kWorkSlack, and every chunk is charged before it
// is decoded: its header, its payload bytes, the whole picture for BLACK,
// BYTE_RUN and FLI_COPY, and a palette rebuild for a colour chunk. The chunk
// that would overdraw the budget is not decoded; the frame ends there and
// reports 770. A well-formed frame sets each pixel a few times at most and
// stays far below the budget, while a frame of thousands of BLACK or empty
// colour chunks (which the walk may visit again for every counted frame)
// stops after a handful. Decoding a file thus costs a small constant times
// the pixels of the frames produced, whatever its chunk counts say.
class TFlicReader {
 public:
  static constexpr std::size_t kFrameHeaderSize = 16;
  static constexpr std::size_t kChunkHeaderSize = 6;
  static constexpr std::uint64_t kWorkPerPixel = 8;
  static constexpr std::uint64_t kWorkPerRow = 16;
  static constexpr std::uint64_t kWorkSlack = 16384;
  // What a colour chunk costs beyond its bytes: the surface rebuilds its
  // whole colour table.
  static constexpr std::uint64_t kPaletteWork = 1024;

  // Reads the header and opens the file for the walk. Refused (nothing
  // kept): a path that is not a readable regular file, a file shorter than
  // the header, or a picture of 0 or more than limits.MaxFramePixels pixels.
  // A header size beyond the file keeps the file's own size as the end mark
  // and reports 262.
  TFlicLoadResult Load(const std::filesystem::path& path, const TLimits& limits = {});
  // The same for a file already in memory: the buffer takes a copy of the
  // bytes the header's size covers, and `bytes` may go away afterwards.
  TFlicLoadResult Load(std::span<const std::uint8_t> bytes, const TLimits& limits = {});
  // Closes the file, or frees the bytes.
  void Release();

  bool Loaded() const { return loaded_; }
  const TFlicHeader& Header() const { return header_; }
  // The bytes of a file given as bytes (empty for a file opened by path).
  std::span<const std::uint8_t> FileBuffer() const { return buffer_; }
  std::uint64_t EndMark() const { return end_; }

  // Where frame 1 starts and where the walk continues after the end of the
  // file, with the classic FLI layout (0 in the header) resolved.
  std::uint64_t FirstFrameOffset() const { return first_; }
  std::uint64_t SecondFrameOffset() const { return second_; }
  std::uint64_t NextFrameOffset() const { return next_; }

  // True when the file holds a frame after its last counted frame, the ring
  // frame that turns the last picture back into the first.
  bool HasRingFrame() const { return ringFrame_; }

  // Puts the walk back on frame 1.
  void Rewind() { next_ = first_; }

  // Decodes the next frame of the walk. Returns 0, or 770 for an unknown
  // chunk type or a frame or chunk that does not fit.
  std::uint32_t DecodeFrame(TFlicSurface& surface, TPalette& palette);

  // Work units charged since Load, the decoded chunks' costs summed.
  std::uint64_t WorkDone() const { return work_; }

 private:
  struct TFrameHeader {
    std::uint32_t Size = 0;
    std::uint16_t Type = 0;
    std::uint16_t Chunks = 0;
  };

  // The header fields, each from its fixed offset; nothing when the file
  // cannot be read or is shorter than the header.
  static std::optional<TFlicHeader> ReadHeader(std::ifstream& in);
  // Up to `count` bytes from offset, no further than the end mark: fewer
  // when the file no longer has them. Valid until the next call.
  std::span<const std::uint8_t> BytesAt(std::uint64_t offset, std::size_t count);
  // The frame header at offset, when it fits before the end mark and its
  // size covers at least the header itself.
  std::optional<TFrameHeader> ReadFrameHeader(std::uint64_t offset);
  // Keeps the header of a loaded buffer and finds the walk's frames.
  void Accept(const TFlicHeader& header);
  void ResolveLayout();
  static std::uint64_t FrameBudget(const TFlicSurface& surface);
  static std::uint64_t ChunkWork(std::uint16_t type, std::size_t payloadBytes, const TFlicSurface& surface);
  std::uint32_t DecodeChunk(std::uint16_t type, std::span<const std::uint8_t> payload, TFlicSurface& surface,
                            TPalette& palette);

  bool loaded_ = false;
  TFlicHeader header_;
  // A file given as bytes; empty for a file opened by path.
  std::vector<std::uint8_t> buffer_;
  // A file opened by path, and the chunk last read from it.
  std::ifstream file_;
  std::vector<std::uint8_t> window_;
  std::uint64_t end_ = 0;
  std::uint64_t first_ = 0;
  std::uint64_t second_ = 0;
  std::uint64_t next_ = 0;
  bool ringFrame_ = false;
  std::uint64_t work_ = 0;
};

}  // namespace tovasel
