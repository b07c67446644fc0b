#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

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
// A file that holds fewer frames than its header counts is walked as the
// frames it holds (see TFlicReader): FrameCount() gives the frames present
// and the walk comes back to frame 1 after them.
//
// Problems are recorded in ErrorCode, never raised (apart from memory
// exhaustion): kFlicErrorFile when a file is refused or shorter than its
// header says, kFlicErrorChunk for damage met on the walk or frames missing
// from the file. ErrorCode keeps the latest; FirstDamagedFrame keeps where
// the damage starts. A step never costs more than a small constant times
// the picture's pixels, whatever the file says (see TFlicReader).
class TFlicDecoder {
 public:
  TFlicDecoder();

  // Loads the file and decodes frame 1. A missing, unreadable or refused
  // file leaves the decoder closed, the surface and palette as they were,
  // and gives false with ErrorCode 262 and the reason in OpenFailure().
  bool Open(const std::filesystem::path& path);
  // The same for a file already in memory; the decoder keeps its own copy.
  bool Open(std::span<const std::uint8_t> bytes);
  // The same for bytes the decoder takes over without a copy (cut in place
  // to what the header's size covers), shown in messages as `name`
  // (FileName()), e.g. "standard input".
  bool Open(std::vector<std::uint8_t>&& bytes, std::string name);

  // Open without decoding frame 1, for a caller that renders frames ahead
  // with DecodeFrame; the walk then stands before frame 1, counted as 1.
  bool Load(const std::filesystem::path& path);
  bool Load(std::span<const std::uint8_t> bytes);
  bool Load(std::vector<std::uint8_t>&& bytes, std::string name);

  // Open for frame 1 alone, for a thumbnail: reads the header and the bytes
  // of frame 1, never the whole file nor the other frames' headers, decodes
  // frame 1 exactly as Open does and releases the file (ReleaseFile).
  // FrameCount() then gives the header's count, unchecked against the file.
  bool OpenFirstFrame(const std::filesystem::path& path);

  // Limits for the next Open or Load (the largest picture accepted, the
  // largest file read whole).
  void SetLimits(const TLimits& limits) { limits_ = limits; }

  // Why a file starting with these bytes would be refused by Open under the
  // current limits, or "" (see TFlicReader::HeaderRefusal): for a caller
  // that checks a stream's first 128 bytes before reading the rest.
  std::string HeaderRefusal(std::span<const std::uint8_t> header) const {
    return TFlicReader::HeaderRefusal(header, limits_);
  }

  // Closes the file and frees its bytes once the owner has read all it
  // needs, so that the file is no longer held. The decoder stays open: the
  // header's values, the counters, ErrorCode, the damage and the surface
  // keep answering; NextFrame and Restart then do nothing.
  void ReleaseFile();

  // Decodes the next frame of the walk and counts it; only while open.
  void NextFrame();
  // Counts a step without decoding, for a caller that decoded every frame
  // ahead.
  void SkipFrame();
  // Decodes the next frame in file order without counting it.
  void DecodeFrame();

  // Puts the walk back where Open left it, as if the file had just been
  // opened on the state it was opened on: frame 1 decoded from the same
  // colours, counted as frame 1 of pass 1. ErrorCode and the damage keep
  // what they hold. For a caller that walks the frames more than once.
  void Restart();

  // The colours the next file will start from, and the same set from a
  // carry taken on another decoder (before Open or Load).
  TDecoderCarry Carry() const { return {palette_, surface_.Palette()}; }
  void Adopt(const TDecoderCarry& carry);

  // Frees the file; the surface keeps its last picture and the working
  // palette its colours, and ErrorCode stays.
  void Close();

  bool IsOpen() const { return open_; }
  // The path given to the last Open or Load, or the name given with bytes
  // taken over; empty after Close and for a file copied from memory.
  const std::string& FileName() const { return fileName_; }
  std::uint32_t ErrorCode() const { return errorCode_; }

  // Why the last Open or Load refused its file, in words that follow
  // "Cannot open FLIC file X: " (see TFlicLoadResult::Refusal); empty when
  // it opened.
  const std::string& OpenFailure() const { return openFailure_; }

  // Where the damage starts: the number (from 1, as FLIC frames are
  // numbered; the ring frame is FrameCount() + 1) of the first frame of the
  // first pass whose decoding reported 770, or, for a file holding fewer
  // frames than its header counts, the first missing frame when no frame
  // before it reported damage. 0 when the first pass met none (262 alone
  // is no damage). Kept by Restart and Close, cleared by the next Open.
  int FirstDamagedFrame() const { return firstDamaged_; }
  // True when that frame began decoding and then met damage, false when it
  // is missing from the file.
  bool DamagedFramePartial() const { return damagedPartial_; }

  // Frames of the walk, the ring frame not included: the header's count,
  // or the frames present in a file that holds fewer; 0 while closed.
  std::uint16_t FrameCount() const { return open_ ? reader_.FrameCount() : 0; }
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
  // Forgets the previous file before a new one is loaded.
  void Reset();
  // Takes over a buffer the reader has just loaded, or records its refusal.
  bool Start(const TFlicLoadResult& loaded);
  // Keeps the first damaged frame of the first pass.
  void NoteDamage(int frame, bool partial);
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
  std::string openFailure_;
  bool open_ = false;
  std::uint32_t errorCode_ = 0;
  int firstDamaged_ = 0;
  bool damagedPartial_ = false;
  // The file-order number of the frame the next decode brings while the
  // first pass lasts (the ring frame is FrameCount() + 1); 0 after it.
  int walkFrame_ = 0;
  std::int32_t currentFrame_ = 0;
  std::int32_t currentLoop_ = 0;
};

}  // namespace tovasel
