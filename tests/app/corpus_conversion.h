#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/conversion_session.h"
#include "app_test_support.h"
#include "shown_pictures.h"
#include "support/giflib_reader.h"
#include "support/shared_corpus.h"

namespace tovasel::testing {

struct CorpusCase {
  const char* name;
  const char* file;
  int frames;
  bool allOptions;
};

// Converts a real file of the shared corpus without options or with all of
// them, and checks that the GIF shows every cached frame on the cube.
inline void CheckCorpusConversion(const CorpusCase& c) {
  namespace fs = std::filesystem;
  TOVASEL_SKIP_WITHOUT_CORPUS();
  const fs::path source = CorpusFolder() / c.file;
  TempFolder folder("corpus");

  RecordingView view;
  view.options.Transparent = view.options.Palette = view.options.Merge = view.options.Crop =
      c.allOptions;
  TConversionSession session(view);
  session.OpenFlicFile(source.string());
  ASSERT_EQ(session.FrameCache.Count(), c.frames);
  session.ConvertToGif(folder / "out.gif");

  const auto gif = PlayGif(folder / "out.gif");
  ASSERT_EQ(gif.error, 0);
  if (!c.allOptions) {
    ASSERT_EQ(static_cast<int>(gif.frames.size()), c.frames);
    for (const auto& frame : gif.frames) EXPECT_EQ(frame.delay, session.FlicDecoder.Speed() / 6);
  }
  std::vector<std::vector<std::int32_t>> shown;
  for (const auto& frame : gif.frames) shown.push_back(frame.canvas);
  EXPECT_TRUE(ShownSequence(shown) ==
              ShownSequence(ExpectedPictures(session.FrameCache, c.allOptions)));
}

}  // namespace tovasel::testing
