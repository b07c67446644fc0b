#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/conversion_session.h"
#include "app_test_support.h"
#include "gif_playback.h"
#include "shown_pictures.h"

namespace fs = std::filesystem;

namespace tovasel {
namespace {

using testing::ExpectedPictures;
using testing::PlayGif;
using testing::RecordingView;
using testing::ShownSequence;
using testing::TempFolder;

struct CorpusCase {
  const char* name;
  const char* file;
  int frames;
  bool allOptions;
};

class CorpusConversionTest : public ::testing::TestWithParam<CorpusCase> {};

TEST_P(CorpusConversionTest, GifShowsEveryFrameOfTheRealFile) {
  const CorpusCase& c = GetParam();
  const fs::path source = fs::path(TOVASEL_SHARED_CORPUS) / "flic" / c.file;
  if (!fs::exists(source)) GTEST_SKIP() << "shared corpus not present";
  TempFolder folder("corpus");

  RecordingView view;
  view.options.Transparent = view.options.Palette = view.options.Merge = view.options.Crop =
      c.allOptions;
  TConversionSession session(view);
  session.OpenFlicFile(source.string());
  ASSERT_EQ(session.ImageList1.Count(), c.frames);
  session.ConvertToGif(folder / "out.gif");

  const auto gif = PlayGif(folder / "out.gif");
  ASSERT_EQ(gif.error, 0);
  if (!c.allOptions) {
    ASSERT_EQ(static_cast<int>(gif.frames.size()), c.frames);
    for (const auto& frame : gif.frames) {
      EXPECT_EQ(frame.delay, session.FlicPlayer.Speed() / 6);
    }
  }
  std::vector<std::vector<std::int32_t>> shown;
  for (const auto& frame : gif.frames) shown.push_back(frame.canvas);
  EXPECT_TRUE(ShownSequence(shown) ==
              ShownSequence(ExpectedPictures(session.ImageList1, c.allOptions)));
}

INSTANTIATE_TEST_SUITE_P(
    RealFiles, CorpusConversionTest,
    ::testing::Values(CorpusCase{"Flc2422", "2422.flc", 27, false},
                      CorpusCase{"Flc2422AllOptions", "2422.flc", 27, true},
                      CorpusCase{"Hopper", "hopper.fli", 1, false},
                      CorpusCase{"HopperAllOptions", "hopper.fli", 1, true},
                      CorpusCase{"HopperPaletteSecond", "hopper_palette_chunk_second.fli", 1, false},
                      CorpusCase{"FliA", "a.fli", 384, false}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tovasel
