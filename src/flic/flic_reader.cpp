#include "flic/flic_reader.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "flic/byte_reader.h"
#include "flic/chunk_decoders.h"
#include "flic/flic_error.h"

namespace tovasel {

namespace {

// Whether decoding a chunk reads its bytes: a postage stamp is skipped,
// BLACK needs none and an unknown chunk is only reported.
bool ReadsPayload(std::uint16_t type) {
  switch (type) {
    case ctColor256:
    case ctColor64:
    case ctDeltaFlc:
    case ctDeltaFli:
    case ctByteRun:
    case ctFliCopy: return true;
    default: return false;
  }
}

}  // namespace

TFlicLoadResult TFlicReader::Load(const std::filesystem::path& path, const TLimits& limits, TFlicScope scope) {
  Release();
  TFlicFile file;
  if (std::string reason = file.Open(path); !reason.empty()) return Refused(std::move(reason));
  std::array<std::uint8_t, TFlicHeader::kSize> head{};
  const std::size_t got = file.ReadAt(0, head);
  const std::span<const std::uint8_t> headBytes = std::span<const std::uint8_t>(head).first(got);
  if (std::string reason = HeaderRefusal(headBytes, limits); !reason.empty()) return Refused(std::move(reason));
  const TFlicHeader header = TFlicHeader::Parse(headBytes);

  // The header's size decides how much is walked, but never more than the
  // file really holds.
  TFlicLoadResult result{true, kFlicErrorNone, {}};
  end_ = header.Size;
  if (end_ > file.Size()) {
    end_ = file.Size();
    result.ErrorCode = kFlicErrorFile;
  }
  if (scope == TFlicScope::fsAllFrames && end_ <= limits.WholeFileBytes) {
    // Read whole, the file is closed when this returns.
    buffer_.resize(static_cast<std::size_t>(end_));
    const std::size_t read = file.ReadAt(0, buffer_);
    if (read < buffer_.size()) {
      buffer_.resize(read);
      end_ = read;
      result.ErrorCode = kFlicErrorFile;
    }
  } else {
    file_ = std::move(file);
  }
  Accept(header, scope);
  return result;
}

TFlicLoadResult TFlicReader::Load(std::span<const std::uint8_t> bytes, const TLimits& limits) {
  Release();
  if (std::string reason = HeaderRefusal(bytes, limits); !reason.empty()) return Refused(std::move(reason));
  const TFlicHeader header = TFlicHeader::Parse(bytes);
  const auto keep = static_cast<std::size_t>(std::min<std::uint64_t>(header.Size, bytes.size()));
  buffer_.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(keep));
  return AcceptBuffer(header, header.Size > bytes.size());
}

TFlicLoadResult TFlicReader::Load(std::vector<std::uint8_t>&& bytes, const TLimits& limits) {
  Release();
  buffer_ = std::move(bytes);
  if (std::string reason = HeaderRefusal(buffer_, limits); !reason.empty()) return Refused(std::move(reason));
  const TFlicHeader header = TFlicHeader::Parse(buffer_);
  const bool cutShort = header.Size > buffer_.size();
  // Shrinking keeps the block where it is: no copy, whatever the size.
  if (!cutShort) buffer_.resize(header.Size);
  return AcceptBuffer(header, cutShort);
}

std::string TFlicReader::HeaderRefusal(std::span<const std::uint8_t> bytes, const TLimits& limits) {
  if (bytes.size() < TFlicHeader::kSize) return "not a FLIC file (shorter than the 128-byte header)";
  const TFlicHeader header = TFlicHeader::Parse(bytes);
  if (header.PictureSizeAcceptable(limits.MaxFramePixels)) return {};
  const std::string picture =
      "a picture of " + std::to_string(header.Width) + " × " + std::to_string(header.Height) + " pixels";
  if (std::uint64_t{header.Width} * header.Height == 0) return "not a FLIC file (" + picture + ")";
  return "not a FLIC file (" + picture + ", more than " + std::to_string(limits.MaxFramePixels) + ")";
}

TFlicLoadResult TFlicReader::Refused(std::string reason) {
  Release();
  return TFlicLoadResult{false, kFlicErrorFile, std::move(reason)};
}

TFlicLoadResult TFlicReader::AcceptBuffer(const TFlicHeader& header, bool cutShort) {
  end_ = buffer_.size();
  Accept(header, TFlicScope::fsAllFrames);
  return TFlicLoadResult{true, cutShort ? kFlicErrorFile : kFlicErrorNone, {}};
}

void TFlicReader::Accept(const TFlicHeader& header, TFlicScope scope) {
  header_ = header;
  loaded_ = true;
  ResolveLayout(scope);
}

std::span<const std::uint8_t> TFlicReader::BytesAt(std::uint64_t offset, std::size_t count) {
  if (offset >= end_) return {};
  count = static_cast<std::size_t>(std::min<std::uint64_t>(count, end_ - offset));
  if (!file_.IsOpen()) return std::span<const std::uint8_t>(buffer_).subspan(static_cast<std::size_t>(offset), count);
  if (window_.size() < count) window_.resize(count);
  const std::size_t got = file_.ReadAt(offset, std::span<std::uint8_t>(window_.data(), count));
  return std::span<const std::uint8_t>(window_.data(), got);
}

void TFlicReader::Release() {
  ReleaseFile();
  released_ = false;
  end_ = 0;
  loaded_ = false;
  header_ = TFlicHeader{};
  first_ = second_ = next_ = 0;
  frames_ = 0;
  ringFrame_ = false;
  lastFrameMissing_ = false;
  work_ = 0;
}

void TFlicReader::ReleaseFile() {
  std::vector<std::uint8_t>().swap(buffer_);
  std::vector<std::uint8_t>().swap(window_);
  file_.Close();
  released_ = loaded_;
}

std::optional<TFlicReader::TFrameHeader> TFlicReader::ReadFrameHeader(std::uint64_t offset) {
  const std::span<const std::uint8_t> b = BytesAt(offset, kFrameHeaderSize);
  if (b.size() < kFrameHeaderSize) return std::nullopt;
  TFrameHeader h;
  h.Size = LoadU32(b, 0);
  h.Type = LoadU16(b, 4);
  h.Chunks = LoadU16(b, 6);
  if (h.Size < kFrameHeaderSize) return std::nullopt;
  return h;
}

void TFlicReader::ResolveLayout(TFlicScope scope) {
  first_ = header_.FirstFrameOffset();
  if (header_.SecondFrame != 0) {
    second_ = header_.SecondFrame;
  } else {
    // Classic FLI layout: the walk comes back to the frame after frame 1.
    const auto frame1 = ReadFrameHeader(first_);
    second_ = frame1 ? first_ + frame1->Size : first_;
  }
  next_ = first_;
  frames_ = header_.Frames;
  if (scope == TFlicScope::fsFirstFrame) return;

  // Walking the frame headers tells how many of the counted frames the file
  // holds, and whether a frame follows them: many writers leave out the
  // ring frame. The chain stops one past the count, so that a file with a
  // long tail costs nothing extra.
  const std::uint64_t wanted = std::uint64_t{header_.Frames} + 1;
  std::uint64_t found = 0;
  std::uint64_t offset = first_;
  while (found < wanted) {
    const auto frame = ReadFrameHeader(offset);
    if (!frame) break;
    ++found;
    offset += frame->Size;
    if (offset >= EndMark()) break;
  }
  ringFrame_ = found >= wanted;
  frames_ = static_cast<std::uint16_t>(std::min<std::uint64_t>(found, header_.Frames));
}

std::uint32_t TFlicReader::DecodeFrame(TFlicSurface& surface, TPalette& palette) {
  lastFrameMissing_ = false;
  if (!loaded_ || released_) return kFlicErrorNone;
  const auto frame = ReadFrameHeader(next_);
  if (!frame) {
    lastFrameMissing_ = true;
    next_ = second_;
    return kFlicErrorChunk;
  }
  const std::uint64_t current = next_;
  const std::uint64_t after = current + frame->Size;
  next_ = after >= EndMark() ? second_ : after;

  // The chunk walk follows the chunk count and each chunk's own size; the
  // frame size does not bound it (files in the wild get it wrong), the end
  // mark does.
  std::uint32_t error = kFlicErrorNone;
  const std::uint64_t budget = FrameBudget(surface);
  std::uint64_t spent = 0;
  std::uint64_t chunk = current + kFrameHeaderSize;
  for (std::uint32_t i = 0; i < frame->Chunks; ++i) {
    const std::span<const std::uint8_t> head = BytesAt(chunk, kChunkHeaderSize);
    if (head.size() < kChunkHeaderSize) {
      error = kFlicErrorChunk;
      break;
    }
    const std::uint32_t size = LoadU32(head, 0);
    const std::uint16_t type = LoadU16(head, 4);
    if (size < kChunkHeaderSize) {
      error = kFlicErrorChunk;
      break;
    }
    std::uint64_t end = chunk + size;
    if (end > EndMark()) {
      error = kFlicErrorChunk;
      end = EndMark();
    }
    const std::uint64_t payload = chunk + kChunkHeaderSize;
    const auto payloadBytes = static_cast<std::size_t>(end - payload);
    const std::uint64_t cost = ChunkWork(type, payloadBytes, surface);
    if (cost > budget - spent) {
      error = kFlicErrorChunk;
      break;
    }
    spent += cost;
    work_ += cost;
    // Only the chunks that decode their bytes read them.
    const bool reads = ReadsPayload(type);
    const std::span<const std::uint8_t> bytes = reads ? BytesAt(payload, payloadBytes) : std::span<const std::uint8_t>();
    // Bytes the file no longer has cut the chunk short.
    if (reads && bytes.size() < payloadBytes) error = kFlicErrorChunk;
    const std::uint32_t chunkError = DecodeChunk(type, bytes, surface, palette);
    if (chunkError != kFlicErrorNone) error = chunkError;
    chunk += size;
  }
  return error;
}

std::uint64_t TFlicReader::FrameBudget(const TFlicSurface& surface) {
  const auto pixels = static_cast<std::uint64_t>(surface.Width()) * static_cast<std::uint64_t>(surface.Height());
  return kWorkPerPixel * pixels + kWorkPerRow * static_cast<std::uint64_t>(surface.Height()) + kWorkSlack;
}

std::uint64_t TFlicReader::ChunkWork(std::uint16_t type, std::size_t payloadBytes, const TFlicSurface& surface) {
  const auto pixels = static_cast<std::uint64_t>(surface.Width()) * static_cast<std::uint64_t>(surface.Height());
  std::uint64_t work = kChunkHeaderSize;
  switch (type) {
    case ctColor256:
    case ctColor64: work += payloadBytes + kPaletteWork; break;
    case ctDeltaFlc:
    case ctDeltaFli: work += payloadBytes; break;
    case ctBlack: work += pixels; break;
    case ctByteRun:
    case ctFliCopy: work += std::max<std::uint64_t>(payloadBytes, pixels); break;
    // A postage stamp is skipped unread, an unknown chunk is only reported.
    default: break;
  }
  return work;
}

std::uint32_t TFlicReader::DecodeChunk(std::uint16_t type, std::span<const std::uint8_t> payload,
                                       TFlicSurface& surface, TPalette& palette) {
  bool complete = true;
  switch (type) {
    case ctColor256:
    case ctColor64:
      complete = type == ctColor256 ? DecodeColor256(payload, palette) : DecodeColor64(payload, palette);
      // The surface takes the whole palette after every colour chunk, even
      // one that changed nothing.
      surface.SetPalette(palette.LogPalette());
      break;
    case ctDeltaFlc: complete = DecodeDeltaFlc(payload, surface); break;
    case ctDeltaFli: complete = DecodeDeltaFli(payload, surface); break;
    case ctBlack: surface.Clear(); break;
    case ctByteRun: complete = DecodeByteRun(payload, surface); break;
    case ctFliCopy: complete = DecodeCopy(payload, surface); break;
    case ctPostageStamp: break;
    default: return kFlicErrorChunk;
  }
  return complete ? kFlicErrorNone : kFlicErrorChunk;
}

}  // namespace tovasel
