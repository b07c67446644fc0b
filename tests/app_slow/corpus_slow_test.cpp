#include <gtest/gtest.h>

#include "app/corpus_conversion.h"

namespace tovasel {
namespace {

// The passes after every frame make this one quadratic in the frame count.
TEST(CorpusConversionSlowTest, FliAWithAllOptions) {
  testing::CheckCorpusConversion({"FliAAllOptions", "a.fli", 384, true});
}

}  // namespace
}  // namespace tovasel
