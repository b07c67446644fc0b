#include <gtest/gtest.h>

#include "corpus_conversion.h"

namespace tovasel {
namespace {

using testing::CorpusCase;

class CorpusConversionTest : public ::testing::TestWithParam<CorpusCase> {};

TEST_P(CorpusConversionTest, GifShowsEveryFrameOfTheRealFile) {
  testing::CheckCorpusConversion(GetParam());
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
