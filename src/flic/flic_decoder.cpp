#include "flic/flic_decoder.h"

namespace tovasel {

TFlicDecoder::TFlicDecoder() { surface_.Clear(); }

bool TFlicDecoder::Load(const std::filesystem::path& path) {
  Close();
  errorCode_ = kFlicErrorNone;
  fileName_ = path.string();
  return Start(reader_.Load(path, limits_));
}

bool TFlicDecoder::Load(std::span<const std::uint8_t> bytes) {
  Close();
  errorCode_ = kFlicErrorNone;
  return Start(reader_.Load(bytes, limits_));
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

bool TFlicDecoder::Start(const TFlicLoadResult& loaded) {
  // A refused file has sized nothing: the surface keeps the last picture.
  if (!loaded.Opened) {
    errorCode_ = loaded.ErrorCode;
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
  RaiseError(loaded.ErrorCode);
  // The working palette is not reset between files: colours a file never
  // sets keep the previous file's values.
  startPalette_ = palette_;
  return true;
}

void TFlicDecoder::Restart() {
  if (!open_) return;
  palette_ = startPalette_;
  // The resize below takes its colours from the surface palette, as the
  // open did.
  surface_.SetPalette(startSurfacePalette_.LogPalette());
  surface_.SetSize(reader_.Header().Width, reader_.Header().Height);
  reader_.Rewind();
  DecodeFrame();
  currentFrame_ = 1;
  currentLoop_ = 1;
}

void TFlicDecoder::Adopt(const TDecoderCarry& carry) {
  palette_ = carry.WorkingPalette;
  surface_.SetPalette(carry.SurfacePalette.LogPalette());
}

void TFlicDecoder::DecodeFrame() { RaiseError(reader_.DecodeFrame(surface_, palette_)); }

void TFlicDecoder::RestartFromFirstFrame() {
  surface_.Clear();
  palette_ = startPalette_;
  surface_.SetPalette(palette_.LogPalette());
  reader_.Rewind();
  DecodeFrame();
}

void TFlicDecoder::NextFrame() {
  if (!open_) return;
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
  reader_.Release();
  fileName_.clear();
}

}  // namespace tovasel
