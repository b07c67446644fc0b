#include "app/optimized_conversion.h"

#include <algorithm>
#include <array>
#include <limits>
#include <ostream>
#include <sstream>
#include <vector>

#include "app/app_error.h"
#include "app/frame_delays.h"
#include "colour/lossless_gif.h"
#include "gif/gif_exception.h"
#include "gif/safe_file_store.h"
#include "imaging/bitmap.h"

namespace tovasel {

namespace {

// Composes the cached frames as the exact-colour conversion shows them: with
// transparency, a frame's bottom-left colour lets the picture before show.
class TShownPictures {
 public:
  explicit TShownPictures(const TConversionInput& input) : input_(input) {}

  const std::int32_t* Picture(std::int64_t i, std::uint16_t& delay) {
    const TFrameCache& cache = *input_.Frames;
    const int width = cache.Width(), height = cache.Height();
    if (i == 0) {
      canvas_.assign(static_cast<std::size_t>(width) * height, kClearPixel);
      indices_ = nullptr;
      colours_ = nullptr;
      composed_ = false;
    }
    const TConvertOptions options = input_.ReadOptions();
    delay = options.ExactTiming ? ExactDelay(input_.FlicType, input_.Speed, i) : WindowDelay(input_.Speed);
    const int entry = static_cast<int>(std::min<std::int64_t>(i, std::numeric_limits<int>::max()));
    const std::uint8_t* indices = cache.EntryIndices(entry);
    const std::array<TRGBQuad, 256>* colours = cache.EntryColors(entry);
    // Past the cache's end the last frame is shown again.
    if (indices == nullptr) {
      indices = indices_;
      colours = colours_;
    }
    if (indices == nullptr || height == 0) return canvas_.data();
    // Showing the same frame again changes nothing.
    if (composed_ && indices == indices_ && colours == colours_ && options.Transparent == transparent_) {
      return canvas_.data();
    }
    std::array<std::int32_t, 256> lut;
    for (int c = 0; c < 256; ++c) {
      const TRGBQuad& q = (*colours)[static_cast<std::size_t>(c)];
      lut[static_cast<std::size_t>(c)] = (q.rgbRed << 16) | (q.rgbGreen << 8) | q.rgbBlue;
    }
    const std::int32_t key = lut[indices[static_cast<std::size_t>(height - 1) * width]];
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* src = indices + static_cast<std::size_t>(y) * width;
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
    indices_ = indices;
    colours_ = colours;
    transparent_ = options.Transparent;
    composed_ = true;
    return canvas_.data();
  }

 private:
  const TConversionInput& input_;
  std::vector<std::int32_t> canvas_;
  const std::uint8_t* indices_ = nullptr;
  const std::array<TRGBQuad, 256>* colours_ = nullptr;
  bool transparent_ = false;
  bool composed_ = false;
};

}  // namespace

std::string BuildOptimizedGif(const TConversionInput& input, int Level) {
  if (input.Frames->Count() == 0) throw EAppError(NoFramesMessage(input.FileName));
  const TConvertOptions first = input.ReadOptions();
  const std::int64_t last = LastFrameIndex(first, *input.Frames, input.ProgressBarName, input.FrameBudget);
  if (input.StartProgress) input.StartProgress(static_cast<int>(last + 1));
  // As the document of no frames is refused when stored, before any file
  // is touched.
  if (last < 0) throw GIFException("Unsupported GIF version");

  TLosslessSource source;
  source.Width = input.Frames->Width();
  source.Height = input.Frames->Height();
  source.Count = last + 1;
  source.Step = input.StepProgress;
  auto pictures = std::make_shared<TShownPictures>(input);
  source.Picture = [pictures](std::int64_t i, std::uint16_t& delay) { return pictures->Picture(i, delay); };
  std::ostringstream out;
  EncodeLosslessGif(source, Level, out);
  return std::move(out).str();
}

int CountGifFrames(const std::string& Bytes) {
  const auto* data = reinterpret_cast<const unsigned char*>(Bytes.data());
  const std::size_t size = Bytes.size();
  auto skipTable = [](std::size_t at, unsigned char flags) {
    return (flags & 0x80) != 0 ? at + 3 * (std::size_t{2} << (flags & 7)) : at;
  };
  auto skipSubBlocks = [&](std::size_t at) {
    while (at < size && data[at] != 0) at += std::size_t{data[at]} + 1;
    return at + 1;
  };
  if (size < 13) return 0;
  std::size_t at = skipTable(13, data[10]);
  int frames = 0;
  while (at < size && data[at] != 0x3B) {
    if (data[at] == 0x21) {
      at = skipSubBlocks(at + 2);
    } else if (data[at] == 0x2C && at + 10 <= size) {
      ++frames;
      at = skipSubBlocks(skipTable(at + 10, data[at + 9]) + 1);
    } else {
      break;
    }
  }
  return frames;
}

void StoreGifBytes(const std::string& Bytes, const std::string& OutputPath) {
  StoreFileSafely(OutputPath, [&Bytes](std::ostream& stream) {
    stream.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
  });
}

}  // namespace tovasel
