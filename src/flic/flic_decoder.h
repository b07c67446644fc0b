#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "flic/flic_error.h"
#include "flic/flic_header.h"
#include "flic/flic_reader.h"
#include "flic/flic_surface.h"
#include "flic/palette.h"

namespace tovasel {

// What a decoder carries from one file to the next: colours a file never
// sets keep the values the files before it left. A batch that converts its
// files on several decoders hands each one the carry its file would have met
// on a single decoder.
struct TDecoderCarry {
  TPalette WorkingPalette;
  TPalette SurfacePalette;
};

// Walks a FLIC file frame by frame into an 8-bit surface and its working
// palette, and counts the frames it shows. This is all a conversion needs of
// a FLIC file; the player adds playback and painting on top of it.
//
// The walk shows the frames in file order and comes back to frame 1 after
// FrameCount steps. A file with a ring frame gets there by decoding it; a
// file without one is decoded again from frame 1 on a cleared picture with
// the palette it started from, so the picture after FrameCount steps equals
// the picture after Open either way.
//
// Problems are recorded in ErrorCode, never raised (apart from memory
// exhaustion): kFlicErrorFile when a file is refused or shorter than its
// header says, kFlicErrorChunk for damage met on the walk. A step never
// costs more than a small constant times the picture's pixels, whatever the
// file says (see TFlicReader).
class TFlicDecoder {
 public:
  TFlicDecoder();

  // Loads the file and decodes frame 1. A missing, unreadable or refused
  // file leaves the decoder closed, the surface and palette as they were,
  // and gives false with ErrorCode 262.
  bool Open(const std::filesystem::path& path);
  // The same for a file already in memory; the decoder keeps its own copy.
  bool Open(std::span<const std::uint8_t> bytes);

  // Open without decoding frame 1, for a caller that renders frames ahead
  // with DecodeFrame; the walk then stands before frame 1, counted as 1.
  bool Load(const std::filesystem::path& path);
  bool Load(std::span<const std::uint8_t> bytes);

  // Limits for the next Open or Load (the largest picture accepted).
  void SetLimits(const TLimits& limits) { limits_ = limits; }

  // Decodes the next frame of the walk and counts it; only while open.
  void NextFrame();
  // Counts a step without decoding, for a caller that decoded every frame
  // ahead.
  void SkipFrame();
  // Decodes the next frame in file order without counting it.
  void DecodeFrame();

  // Puts the walk back where Open left it, as if the file had just been
  // opened on the state it was opened on: frame 1 decoded from the same
  // colours, counted as frame 1 of pass 1. ErrorCode keeps what it holds.
  // For a caller that walks the frames more than once.
  void Restart();

  // The colours the next file will start from, and the same set from a
  // carry taken on another decoder (before Open or Load).
  TDecoderCarry Carry() const { return {palette_, surface_.Palette()}; }
  void Adopt(const TDecoderCarry& carry);

  // Frees the file; the surface keeps its last picture and the working
  // palette its colours, and ErrorCode stays.
  void Close();

  bool IsOpen() const { return open_; }
  // The path given to the last Open or Load; empty after Close and for a
  // file opened from memory.
  const std::string& FileName() const { return fileName_; }
  std::uint32_t ErrorCode() const { return errorCode_; }

  // Header frame count, the ring frame not included; 0 while closed.
  std::uint16_t FrameCount() const { return open_ ? reader_.Header().Frames : 0; }
  // Low 16 bits of the header speed; 0 while closed.
  std::uint16_t Speed() const { return open_ ? static_cast<std::uint16_t>(reader_.Header().Speed & 0xFFFF) : 0; }
  // The header's type word (kFliType, kFlcType or what the file says); 0
  // while closed.
  std::uint16_t FlicType() const { return reader_.Header().Type; }
  bool HasRingFrame() const { return open_ && reader_.HasRingFrame(); }

  // The frame on the surface (1 .. FrameCount) and the pass it belongs to,
  // both from 1; 0 while closed.
  std::int32_t CurrentFrame() const { return currentFrame_; }
  std::int32_t CurrentLoop() const { return currentLoop_; }

  const TFlicSurface& Surface() const { return surface_; }
  TFlicSurface& Surface() { return surface_; }
  const TPalette& Palette() const { return palette_; }
  const TFlicReader& Reader() const { return reader_; }

 private:
  // Takes over a buffer the reader has just loaded, or records its refusal.
  bool Start(const TFlicLoadResult& loaded);
  void RaiseError(std::uint32_t code) {
    if (code != kFlicErrorNone) errorCode_ = code;
  }
  // The step after the last frame of a file without a ring frame.
  void RestartFromFirstFrame();
  void CountFrame();

  TLimits limits_;
  TFlicReader reader_;
  TFlicSurface surface_;
  TPalette palette_;
  // The working and surface palettes as they were just before frame 1 was
  // first decoded.
  TPalette startPalette_;
  TPalette startSurfacePalette_;
  std::string fileName_;
  bool open_ = false;
  std::uint32_t errorCode_ = 0;
  std::int32_t currentFrame_ = 0;
  std::int32_t currentLoop_ = 0;
};

}  // namespace tovasel
