#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/conversion_session.h"
#include "app/gif_playback.h"
#include "app/shown_pictures.h"

namespace fs = std::filesystem;

namespace tovasel {
namespace {

using testing::ExpectedPictures;
using testing::PlayGif;
using testing::RecordingView;
using testing::ShownSequence;
using testing::TempFolder;

// The passes after every frame make this one quadratic in the frame count.
TEST(CorpusConversionSlowTest, FliAWithAllOptions) {
  const fs::path source = fs::path(TOVASEL_SHARED_CORPUS) / "flic" / "a.fli";
  if (!fs::exists(source)) GTEST_SKIP() << "shared corpus not present";
  TempFolder folder("corpus-slow");
  RecordingView view;
  view.options.Transparent = view.options.Palette = view.options.Merge = view.options.Crop = true;
  TConversionSession session(view);
  session.OpenFlicFile(source.string());
  ASSERT_EQ(session.ImageList1.Count(), 384);
  session.ConvertToGif(folder / "out.gif");
  const auto gif = PlayGif(folder / "out.gif");
  ASSERT_EQ(gif.error, 0);
  std::vector<std::vector<std::int32_t>> shown;
  for (const auto& frame : gif.frames) shown.push_back(frame.canvas);
  EXPECT_TRUE(ShownSequence(shown) == ShownSequence(ExpectedPictures(session.ImageList1, true)));
}

}  // namespace
}  // namespace tovasel
