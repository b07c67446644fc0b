#include "app/optimized_conversion.h"

#include <array>
#include <vector>

#include "app/frame_delays.h"
#include "app/frame_source.h"
#include "app/gif_conversion.h"
#include "colour/lossless_gif.h"
#include "imaging/indexed_picture.h"

namespace tovasel {

namespace {

// Composes the source's pictures as the exact-colour conversion shows them:
// with transparency, a frame's bottom-left colour lets the picture before
// show through.
class TShownPictures {
 public:
  TShownPictures(TFrameSource& frames, const TConversionSettings& settings) : frames_(frames), settings_(settings) {}

  const std::int32_t* Picture(std::int64_t i, std::uint16_t& delay) {
    const int width = frames_.Width(), height = frames_.Height();
    if (i == 0) {
      // Each pass of the encoder reads the pictures from the first again.
      frames_.Rewind();
      canvas_.assign(static_cast<std::size_t>(width) * height, kClearPixel);
      taken_ = 0;
    }
    const TConvertOptions& options = settings_.Options;
    delay = options.ExactTiming ? ExactDelay(settings_.FlicType, settings_.Speed, i) : WindowDelay(settings_.Speed);
    // Past the source's end the last picture is shown again, which changes
    // nothing.
    if (taken_ >= frames_.Count() || width == 0 || height == 0) return canvas_.data();
    const TIndexedPicture picture = frames_.Next();
    ++taken_;
    std::array<std::int32_t, 256> lut;
    for (std::size_t c = 0; c < lut.size(); ++c) {
      const TRGBQuad& q = picture.Colors[c];
      lut[c] = (q.rgbRed << 16) | (q.rgbGreen << 8) | q.rgbBlue;
    }
    const std::int32_t key = lut[picture.Row(height - 1)[0]];
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* src = picture.Row(y);
      std::int32_t* row = canvas_.data() + static_cast<std::size_t>(y) * width;
      if (options.Transparent) {
        for (int x = 0; x < width; ++x) {
          const std::int32_t colour = lut[src[x]];
          if (colour != key) row[x] = colour;
        }
      } else {
        for (int x = 0; x < width; ++x) row[x] = lut[src[x]];
      }
    }
    return canvas_.data();
  }

 private:
  TFrameSource& frames_;
  const TConversionSettings& settings_;
  std::vector<std::int32_t> canvas_;
  int taken_ = 0;
};

}  // namespace

int WriteSmallestGif(TFrameSource& Frames, const TConversionSettings& Settings, std::int64_t Last,
                     std::ostream& Stream) {
  TShownPictures pictures(Frames, Settings);
  TLosslessSource source;
  source.Width = Frames.Width();
  source.Height = Frames.Height();
  source.Count = Last + 1;
  source.Step = Settings.StepProgress;
  source.Picture = [&pictures](std::int64_t i, std::uint16_t& delay) { return pictures.Picture(i, delay); };
  return EncodeLosslessGif(source, Settings.Options.Optimize, Stream);
}

}  // namespace tovasel
