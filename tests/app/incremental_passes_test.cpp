// The incremental colour-map packing and frame compaction against the
// whole-document passes after every frame: the written bytes are the same.

#include <gtest/gtest.h>

#include "app/pass_differential.h"

namespace tovasel::testing {
namespace {

std::vector<std::uint8_t> PixelsOf(const TGIFSubImage& frame) {
  return {frame.PixelData(), frame.PixelData() + frame.PixelDataSize()};
}

struct DifferentialCase {
  const char* name;
  TAnimationRecipe recipe;
  bool exactColours;
};

class IncrementalPassesTest : public ::testing::TestWithParam<DifferentialCase> {};

TEST_P(IncrementalPassesTest, SameBytesAsTheWholeDocumentPasses) {
  const DifferentialCase& c = GetParam();
  for (unsigned seed = 0; seed < 3; ++seed) {
    TAnimationRecipe recipe = c.recipe;
    recipe.Seed = c.recipe.Seed * 7919u + seed;
    const TFrameCache cache = MakeAnimation(recipe);
    ExpectSameBytesForEveryOptionSet(cache, c.exactColours, "seed " + std::to_string(recipe.Seed));
  }
}

// {width, height, frames, seed, inks, wide colours}
INSTANTIATE_TEST_SUITE_P(
    GeneratedAnimations, IncrementalPassesTest,
    ::testing::Values(
        DifferentialCase{"OnePixel", {1, 1, 9, 1, 3, false}, false},
        DifferentialCase{"OnePixelExact", {1, 1, 9, 2, 3, true}, true},
        DifferentialCase{"OddSizeFewInks", {7, 5, 14, 3, 2, false}, false},
        DifferentialCase{"OddSizeGreys", {13, 3, 16, 4, 6, false}, true},
        DifferentialCase{"TallNarrow", {3, 17, 12, 5, 8, true}, false},
        DifferentialCase{"WideShort", {31, 2, 12, 6, 8, true}, true},
        DifferentialCase{"ManyColoursOnTheCube", {16, 16, 12, 7, 256, true}, false},
        // More colours than one map keeps: the packing moves some of them.
        DifferentialCase{"ManyColoursExact", {16, 16, 12, 8, 256, true}, true},
        DifferentialCase{"ManyColoursExactGreys", {9, 11, 16, 9, 256, false}, true},
        DifferentialCase{"LongStill", {5, 4, 24, 10, 2, false}, false}),
    [](const ::testing::TestParamInfo<DifferentialCase>& info) { return info.param.name; });

// Boxes that change during the conversion leave the shortcut, and the
// bytes still agree.
TEST(IncrementalPassesOptionChangeTest, BoxesChangedHalfWay) {
  for (unsigned seed = 0; seed < 4; ++seed) {
    const TFrameCache cache = MakeAnimation({6, 5, 10, 100 + seed, 4, seed % 2 == 0});
    for (int bits = 0; bits < 16; ++bits) {
      const TConvertOptions options = OptionsFromBits(bits, seed >= 2, false, cache.Count());
      EXPECT_EQ(PassBytes(cache, options, TPasses::Whole, 70, 4), PassBytes(cache, options, TPasses::Incremental, 70, 4))
          << "seed " << seed << OptionsName(options);
    }
  }
}

// A frame followed after its call changes only by renumbering until the
// passes run whole: the table they give takes the pixels it had then to the
// ones it has after Finish, for every option set, with the boxes kept or
// changed half way.
TEST(IncrementalPassesFollowTest, RenumberingSinceTakesTheFollowedPixelsToTheFinalOnes) {
  int carried = 0;
  for (unsigned seed = 0; seed < 6; ++seed) {
    const TFrameCache cache = MakeAnimation({9, 7, 14, 300 + seed, seed < 3 ? 6 : 256, seed % 2 == 0});
    for (int bits = 0; bits < 16; ++bits) {
      for (const int changeAt : {-1, 6}) {
        SCOPED_TRACE("seed " + std::to_string(seed) + OptionsName(OptionsFromBits(bits, seed >= 3, false, 14)) +
                     " change at " + std::to_string(changeAt));
        TConvertOptions options = OptionsFromBits(bits, seed >= 3, false, cache.Count());
        TGIFImage document;
        if (options.ExactColours) document.SetReductionScheme(rsKeepColors);
        TIncrementalPasses passes(document);
        struct TFollowed {
          const TGIFSubImage* Frame;
          std::uint64_t Token;
          std::vector<std::uint8_t> Pixels;
        };
        std::vector<TFollowed> followed;
        for (int i = 0; i < cache.Count(); ++i) {
          if (i == changeAt + 1 && changeAt >= 0) {
            options.Palette = !options.Palette;
            options.Merge = !options.Merge;
          }
          AppendGifFrame(document, cache.Picture(i), options.Transparent, 7);
          TCompactOptions compact;
          if (options.Merge) compact |= coMergeUnchanged;
          if (options.Crop) compact |= coCropFrames;
          passes.AfterFrameAdded(options.Palette, compact);
          const TGIFImageList& frames = document.Frames();
          if (frames.ItemCount() == 0) continue;
          const TGIFSubImage& newest = frames.FrameAt(frames.ItemCount() - 1);
          if (const std::uint64_t token = passes.FollowNewest(); token != 0) {
            followed.push_back({&newest, token, PixelsOf(newest)});
          }
        }
        passes.Finish();
        for (int i = 0; i < document.Frames().ItemCount(); ++i) {
          const TGIFSubImage& frame = document.Frames().FrameAt(i);
          for (const TFollowed& f : followed) {
            const TColorTranslation* table = passes.RenumberingSince(i, f.Token);
            if (table == nullptr) continue;
            ASSERT_EQ(f.Frame, &frame) << "frame " << i;
            std::vector<std::uint8_t> renumbered = f.Pixels;
            for (std::uint8_t& p : renumbered) p = (*table)[p];
            ASSERT_EQ(renumbered, PixelsOf(frame)) << "frame " << i;
            ++carried;
          }
        }
      }
    }
  }
  EXPECT_GT(carried, 100);
}

TEST(IncrementalPassesCorpusTest, FirstFramesOfEveryRealFile) {
  TOVASEL_SKIP_WITHOUT_CORPUS();
  const auto files = CorpusFlicFiles();
  for (const auto& file : files) ExpectSameBytesForCorpusFile(file, 12);
}

}  // namespace
}  // namespace tovasel::testing
