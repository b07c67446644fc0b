// The LZW encoder against the encoder written from the rules, on the frames
// real files give: the FLIC files at the top of the shared corpus
// are converted with several option sets and each written frame's pixels
// are encoded again by both, byte for byte. (The damaged files further down
// take seconds each to convert and add no new kind of frame.)

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "../gif/lzw_reference.h"
#include "app/conversion_session.h"
#include "app_test_support.h"
#include "gif/lzw_encoder.h"

namespace tovasel {
namespace {

namespace fs = std::filesystem;

struct OptionSet {
  const char* name;
  TConvertOptions options;
};

TConvertOptions AllFour() {
  TConvertOptions options;
  options.Transparent = options.Palette = options.Merge = options.Crop = true;
  return options;
}

TConvertOptions ExactColours() {
  TConvertOptions options;
  options.ExactColours = true;
  return options;
}

std::string Encoded(const SavedImage& image, int bits) {
  std::ostringstream out;
  TLZWEncoder encoder;
  encoder.CompressImage(out, bits, 256, image.RasterBits, false, image.ImageDesc.Height, image.ImageDesc.Width);
  return out.str();
}

std::string Reference(const SavedImage& image, int bits) {
  const std::size_t count = static_cast<std::size_t>(image.ImageDesc.Width) * image.ImageDesc.Height;
  const std::vector<std::uint8_t> data =
      testing::ReferenceImageData(std::vector<std::uint8_t>(image.RasterBits, image.RasterBits + count), bits);
  return std::string(data.begin(), data.end());
}

std::vector<fs::path> CorpusFiles() {
  std::vector<fs::path> files;
  const fs::path root = fs::path(TOVASEL_SHARED_CORPUS) / "flic";
  if (!fs::exists(root)) return files;
  for (const auto& entry : fs::directory_iterator(root)) {
    const std::string extension = entry.path().extension().string();
    if (entry.is_regular_file() && (extension == ".fli" || extension == ".flc")) files.push_back(entry.path());
  }
  return files;
}

class LzwOnRealFrames : public ::testing::TestWithParam<OptionSet> {};

TEST_P(LzwOnRealFrames, SameBytesAsTheRulesGive) {
  const std::vector<fs::path> files = CorpusFiles();
  if (files.empty()) GTEST_SKIP() << "shared corpus not present";
  testing::TempFolder folder("lzw-real");
  int framesCompared = 0;
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.string());
    testing::RecordingView view;
    view.options = GetParam().options;
    TConversionSession session(view);
    try {
      session.OpenFlicFile(file.string());
      if (session.FrameCache.Count() == 0) continue;
      session.ConvertToGif(folder / "out.gif");
    } catch (const std::exception&) {
      continue;  // a malformed file has no frames to compare
    }
    int error = 0;
    const std::unique_ptr<GifFileType, void (*)(GifFileType*)> gif(
        DGifOpenFileName((folder / "out.gif").c_str(), &error), [](GifFileType* g) { DGifCloseFile(g, nullptr); });
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif.get()), GIF_OK);
    for (int i = 0; i < gif->ImageCount; ++i) {
      const SavedImage& image = gif->SavedImages[i];
      const ColorMapObject* colours = image.ImageDesc.ColorMap != nullptr ? image.ImageDesc.ColorMap : gif->SColorMap;
      const int bits = colours != nullptr ? colours->BitsPerPixel : 8;
      ASSERT_EQ(Encoded(image, bits), Reference(image, bits)) << "frame " << i;
      ++framesCompared;
    }
  }
  EXPECT_GT(framesCompared, 0);
}

INSTANTIATE_TEST_SUITE_P(Options, LzwOnRealFrames,
                         ::testing::Values(OptionSet{"none", {}}, OptionSet{"allFour", AllFour()},
                                           OptionSet{"exactColours", ExactColours()}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovasel
