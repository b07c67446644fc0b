#include "flic/flic_decoder.h"

#include <utility>

namespace tovasel {

TFlicDecoder::TFlicDecoder() { surface_.Clear(); }

void TFlicDecoder::Reset() {
  Close();
  errorCode_ = kFlicErrorNone;
  openFailure_.clear();
  firstDamaged_ = 0;
  damagedPartial_ = false;
}

bool TFlicDecoder::Load(const std::filesystem::path& path) {
  Reset();
  fileName_ = path.string();
  return Start(reader_.Load(path, limits_));
}

bool TFlicDecoder::Load(std::span<const std::uint8_t> bytes) {
  Reset();
  return Start(reader_.Load(bytes, limits_));
}

bool TFlicDecoder::Load(std::vector<std::uint8_t>&& bytes, std::string name) {
  Reset();
  fileName_ = std::move(name);
  return Start(reader_.Load(std::move(bytes), limits_));
}

bool TFlicDecoder::Open(const std::filesystem::path& path) {
  if (!Load(path)) return false;
  DecodeFrame();
  return true;
}

bool TFlicDecoder::Open(std::span<const std::uint8_t> bytes) {
  if (!Load(bytes)) return false;
  DecodeFrame();
  return true;
}

bool TFlicDecoder::Open(std::vector<std::uint8_t>&& bytes, std::string name) {
  if (!Load(std::move(bytes), std::move(name))) return false;
  DecodeFrame();
  return true;
}

bool TFlicDecoder::OpenFirstFrame(const std::filesystem::path& path) {
  Reset();
  fileName_ = path.string();
  if (!Start(reader_.Load(path, limits_, TFlicScope::fsFirstFrame))) return false;
  DecodeFrame();
  ReleaseFile();
  return true;
}

bool TFlicDecoder::Start(const TFlicLoadResult& loaded) {
  // A refused file has sized nothing: the surface keeps the last picture.
  if (!loaded.Opened) {
    errorCode_ = loaded.ErrorCode;
    openFailure_ = loaded.Refusal;
    return false;
  }
  const TFlicHeader& h = reader_.Header();
  startSurfacePalette_ = surface_.Palette();
  // One resize to the final size: setting the width against the previous
  // file's height first could ask for a far larger store than either file.
  surface_.SetSize(h.Width, h.Height);
  open_ = true;
  currentFrame_ = 1;
  currentLoop_ = 1;
  walkFrame_ = 1;
  RaiseError(loaded.ErrorCode);
  // Frames the header counts but the file does not hold are damage known
  // before any is decoded.
  if (reader_.FramesMissing()) {
    RaiseError(kFlicErrorChunk);
    NoteDamage(reader_.FrameCount() + 1, false);
  }
  // The working palette is not reset between files: colours a file never
  // sets keep the previous file's values.
  startPalette_ = palette_;
  return true;
}

void TFlicDecoder::NoteDamage(int frame, bool partial) {
  if (firstDamaged_ != 0 && firstDamaged_ <= frame) return;
  firstDamaged_ = frame;
  damagedPartial_ = partial;
}

void TFlicDecoder::ReleaseFile() {
  if (open_) reader_.ReleaseFile();
}

void TFlicDecoder::Restart() {
  if (!open_ || reader_.FileReleased()) return;
  palette_ = startPalette_;
  // The resize below takes its colours from the surface palette, as the
  // open did.
  surface_.SetPalette(startSurfacePalette_.LogPalette());
  surface_.SetSize(reader_.Header().Width, reader_.Header().Height);
  reader_.Rewind();
  walkFrame_ = 1;
  DecodeFrame();
  currentFrame_ = 1;
  currentLoop_ = 1;
}

void TFlicDecoder::Adopt(const TDecoderCarry& carry) {
  palette_ = carry.WorkingPalette;
  surface_.SetPalette(carry.SurfacePalette.LogPalette());
}

void TFlicDecoder::DecodeFrame() {
  if (reader_.FileReleased()) return;
  const std::uint32_t error = reader_.DecodeFrame(surface_, palette_);
  RaiseError(error);
  if (walkFrame_ == 0) return;
  if (error == kFlicErrorChunk) NoteDamage(walkFrame_, !reader_.LastFrameMissing());
  // The first pass ends with the frame that brings the walk back to frame 1.
  walkFrame_ = walkFrame_ > FrameCount() ? 0 : walkFrame_ + 1;
}

void TFlicDecoder::RestartFromFirstFrame() {
  surface_.Clear();
  palette_ = startPalette_;
  surface_.SetPalette(palette_.LogPalette());
  reader_.Rewind();
  walkFrame_ = 0;
  DecodeFrame();
}

void TFlicDecoder::NextFrame() {
  if (!open_ || reader_.FileReleased()) return;
  const bool wraps = currentFrame_ >= FrameCount();
  if (wraps && !reader_.HasRingFrame()) {
    RestartFromFirstFrame();
  } else {
    DecodeFrame();
  }
  CountFrame();
}

void TFlicDecoder::SkipFrame() {
  if (open_) CountFrame();
}

void TFlicDecoder::CountFrame() {
  currentFrame_ += 1;
  if (currentFrame_ > FrameCount()) {
    currentFrame_ = 1;
    currentLoop_ += 1;
  }
}

void TFlicDecoder::Close() {
  open_ = false;
  currentFrame_ = 0;
  currentLoop_ = 0;
  walkFrame_ = 0;
  reader_.Release();
  fileName_.clear();
}

}  // namespace tovasel
