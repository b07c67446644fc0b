#pragma once

#include <gtest/gtest.h>

#include <filesystem>

namespace tovasel::testing {

// The shared corpus's FLIC folder.
std::filesystem::path CorpusFolder();

// Whether the shared corpus is here. Under CI (CI=true) its absence fails
// the calling test, so a run that lost the corpus cannot pass on skips.
bool HaveCorpus();

}  // namespace tovasel::testing

#define TOVASEL_SKIP_WITHOUT_CORPUS() \
  if (!::tovasel::testing::HaveCorpus()) GTEST_SKIP() << "no shared corpus at " << ::tovasel::testing::CorpusFolder().string()
