// The long run of the incremental passes' comparison with the whole-document
// passes: more and larger generated animations, and every real file whole.

#include <gtest/gtest.h>

#include <cctype>
#include <tuple>

#include "app/pass_differential.h"

namespace tovasel::testing {
namespace {

TEST(IncrementalPassesSlowTest, ManyGeneratedAnimations) {
  for (unsigned seed = 0; seed < 60; ++seed) {
    std::mt19937 rng(seed);
    TAnimationRecipe recipe;
    recipe.Width = 1 + static_cast<int>(rng() % 40);
    recipe.Height = 1 + static_cast<int>(rng() % 30);
    recipe.Frames = 1 + static_cast<int>(rng() % 40);
    recipe.Seed = seed;
    recipe.Inks = seed % 3 == 0 ? 256 : 2 + static_cast<int>(rng() % 20);
    recipe.WideColours = seed % 4 != 1;
    ExpectSameBytesForEveryOptionSet(MakeAnimation(recipe), seed % 2 == 0, "seed " + std::to_string(seed));
  }
}

// One test per file and colour mode, so that a.fli's quadratic whole-document
// passes stay well inside one test's time.
class IncrementalPassesCorpusSlowTest
    : public ::testing::TestWithParam<std::tuple<std::filesystem::path, bool>> {};

TEST_P(IncrementalPassesCorpusSlowTest, RealFileWhole) {
  const auto& [file, exact] = GetParam();
  ExpectSameBytesForCorpusFile(file, -1, !exact, exact);
}

INSTANTIATE_TEST_SUITE_P(EveryRealFile, IncrementalPassesCorpusSlowTest,
                         ::testing::Combine(::testing::ValuesIn(CorpusFlicFiles()), ::testing::Bool()),
                         [](const auto& info) {
                           std::string name = std::get<0>(info.param).stem().string();
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name + (std::get<1>(info.param) ? "_exact_" : "_cube_") + std::to_string(info.index);
                         });

}  // namespace
}  // namespace tovasel::testing
