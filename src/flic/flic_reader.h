#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "flic/flic_file.h"
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
  // Why the file was refused, in words that follow "Cannot open FLIC file
  // X: " ("no such file", "it is a folder", "permission denied", "not a
  // FLIC file (shorter than the 128-byte header)", ...); empty when it
  // opened.
  std::string Refusal;
};

// How much of a file Load prepares for: the whole walk, or frame 1 alone
// (for a thumbnail), which reads the header and frame 1's bytes and nothing
// else.
enum class TFlicScope : std::uint8_t { fsAllFrames, fsFirstFrame };

// Walks one FLIC file frame by frame, chunk by chunk, decoding each chunk
// into a surface and a working palette. It knows nothing of frame numbers
// or time; the decoder counts frames. A file opened by path whose header
// size covers at most TLimits::WholeFileBytes is read whole at Load and
// closed there, so the file is not held while its frames are shown and
// later changes to it do not reach them. A larger file stays open and each
// chunk is read when it is decoded, so memory does not grow with the file.
// A file given as bytes is read from memory.
//
// The frames a file holds are decided once, at Load, by following the frame
// headers from frame 1 (16 bytes each, no chunk is read): a header that
// does not fit before the end mark or is smaller than itself, or a frame
// that reaches the end mark, ends the chain. The chain only moves forward:
// it never follows the wrap to the second-frame offset, which leads back to
// a frame already passed. A chain shorter than the header's frame count
// gives the frames present as FrameCount() and reports the rest missing
// (FramesMissing()), so that a file claiming more frames than it holds is
// walked as the file it is, instead of wrapping back and decoding earlier
// frames' changes again, up to the count, as garbage. A file that holds its
// frames, with or without a ring frame, keeps the header's count.
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
// colour chunks (which the walk visits again on every pass) stops after a
// handful. Decoding a file thus costs a small constant times the pixels of
// the frames produced, whatever its chunk counts say.
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
  // kept, the reason given): a path that is not a readable regular file, or
  // a header HeaderRefusal refuses. A header size beyond the file keeps the
  // file's own size as the end mark and reports 262. With fsFirstFrame the
  // file is never read whole and the frame chain is not followed: the
  // header's frame count stands unchecked, and only frame 1 is meant to be
  // decoded.
  TFlicLoadResult Load(const std::filesystem::path& path, const TLimits& limits = {},
                       TFlicScope scope = TFlicScope::fsAllFrames);
  // The same for a file already in memory: the buffer takes a copy of the
  // bytes the header's size covers, and `bytes` may go away afterwards.
  TFlicLoadResult Load(std::span<const std::uint8_t> bytes, const TLimits& limits = {});
  // The same again, taking the bytes over without a copy: the buffer is
  // `bytes` itself, cut in place to what the header's size covers. The
  // bytes are taken (and freed) even when the file is refused.
  TFlicLoadResult Load(std::vector<std::uint8_t>&& bytes, const TLimits& limits = {});
  // Closes the file, or frees the bytes.
  void Release();
  // Closes the file and frees the bytes but keeps the header and what Load
  // found; DecodeFrame then does nothing.
  void ReleaseFile();

  // Why a file starting with these bytes would be refused, by exactly the
  // checks Load makes of a header, or "" when it would be opened: fewer
  // than the header's 128 bytes, or a picture of 0 or more than
  // limits.MaxFramePixels pixels. Bytes beyond the header are not looked at.
  static std::string HeaderRefusal(std::span<const std::uint8_t> bytes, const TLimits& limits);

  bool Loaded() const { return loaded_; }
  bool FileReleased() const { return released_; }
  const TFlicHeader& Header() const { return header_; }
  // The bytes walked from memory: a file given as bytes or read whole.
  // Empty for a file read chunk by chunk.
  std::span<const std::uint8_t> FileBuffer() const { return buffer_; }
  std::uint64_t EndMark() const { return end_; }

  // The frames the walk has, the ring frame not included: the header's
  // count, or the frames present when the file holds fewer.
  std::uint16_t FrameCount() const { return frames_; }
  bool FramesMissing() const { return frames_ < header_.Frames; }

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
  // True when the last DecodeFrame found no frame header to decode, as
  // opposed to a frame that began decoding and then met damage.
  bool LastFrameMissing() const { return lastFrameMissing_; }

  // Work units charged since Load, the decoded chunks' costs summed.
  std::uint64_t WorkDone() const { return work_; }

 private:
  struct TFrameHeader {
    std::uint32_t Size = 0;
    std::uint16_t Type = 0;
    std::uint16_t Chunks = 0;
  };

  TFlicLoadResult Refused(std::string reason);
  // Walks buffer_, which holds the bytes the header's size covers, or fewer
  // when the file ended first (cutShort, reported as 262).
  TFlicLoadResult AcceptBuffer(const TFlicHeader& header, bool cutShort);
  // Up to `count` bytes from offset, no further than the end mark: fewer
  // when the file no longer has them. Valid until the next call.
  std::span<const std::uint8_t> BytesAt(std::uint64_t offset, std::size_t count);
  // The frame header at offset, when it fits before the end mark and its
  // size covers at least the header itself.
  std::optional<TFrameHeader> ReadFrameHeader(std::uint64_t offset);
  // Keeps the header of a loaded file and finds the walk's frames.
  void Accept(const TFlicHeader& header, TFlicScope scope);
  void ResolveLayout(TFlicScope scope);
  static std::uint64_t FrameBudget(const TFlicSurface& surface);
  static std::uint64_t ChunkWork(std::uint16_t type, std::size_t payloadBytes, const TFlicSurface& surface);
  std::uint32_t DecodeChunk(std::uint16_t type, std::span<const std::uint8_t> payload, TFlicSurface& surface,
                            TPalette& palette);

  bool loaded_ = false;
  bool released_ = false;
  TFlicHeader header_;
  // A file given as bytes or read whole; empty for a file read chunk by
  // chunk.
  std::vector<std::uint8_t> buffer_;
  // A file read chunk by chunk, and the chunk last read from it.
  TFlicFile file_;
  std::vector<std::uint8_t> window_;
  std::uint64_t end_ = 0;
  std::uint64_t first_ = 0;
  std::uint64_t second_ = 0;
  std::uint64_t next_ = 0;
  std::uint16_t frames_ = 0;
  bool ringFrame_ = false;
  bool lastFrameMissing_ = false;
  std::uint64_t work_ = 0;
};

}  // namespace tovasel
