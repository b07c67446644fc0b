#include <gtest/gtest.h>

#include <new>

#include "app/app_error.h"
#include "app/path_names.h"

namespace tovasel {
namespace {

struct StripCase {
  const char* name;
  const char* path;
  const char* stripped;
};

class StripExtensionTest : public ::testing::TestWithParam<StripCase> {};

TEST_P(StripExtensionTest, RemovesOnlyTheLastComponentsExtension) {
  EXPECT_EQ(StripExtension(GetParam().path), GetParam().stripped);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, StripExtensionTest,
    ::testing::Values(StripCase{"Plain", "/data/walk.flc", "/data/walk"},
                      StripCase{"TwoDots", "/data/walk.old.flc", "/data/walk.old"},
                      StripCase{"DotOnlyInFolder", "/data/a.b/walk", "/data/a.b/walk"},
                      StripCase{"NoDotAtAll", "walk", "walk"},
                      StripCase{"TrailingDot", "walk.", "walk"},
                      StripCase{"HiddenFileLosesWholeName", "/d/.flc", "/d/"},
                      StripCase{"Relative", "x/y.FLI", "x/y"}),
    [](const auto& info) { return info.param.name; });

struct LimitCase {
  const char* name;
  const char* text;
  bool valid;
  int value;
};

class ParseLimitTextTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(ParseLimitTextTest, AcceptsSignedDecimalWithin32Bits) {
  const LimitCase& c = GetParam();
  if (c.valid) {
    EXPECT_EQ(ParseLimitText(c.text), c.value);
  } else {
    try {
      ParseLimitText(c.text);
      FAIL() << "no error for '" << c.text << "'";
    } catch (const EAppError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("'") + c.text + "' is not a valid integer value");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseLimitTextTest,
    ::testing::Values(LimitCase{"Zero", "0", true, 0}, LimitCase{"Positive", "42", true, 42},
                      LimitCase{"PlusSign", "+7", true, 7}, LimitCase{"MinusOne", "-1", true, -1},
                      LimitCase{"LeadingSpaces", "  12", true, 12},
                      LimitCase{"Max", "2147483647", true, 2147483647},
                      LimitCase{"Min", "-2147483648", true, INT32_MIN},
                      LimitCase{"Empty", "", false, 0}, LimitCase{"Letters", "abc", false, 0},
                      LimitCase{"SignOnly", "-", false, 0},
                      LimitCase{"TrailingSpace", "12 ", false, 0},
                      LimitCase{"TrailingLetters", "12abc", false, 0},
                      LimitCase{"AboveMax", "2147483648", false, 0},
                      LimitCase{"BelowMin", "-2147483649", false, 0},
                      LimitCase{"Huge", "99999999999999999999999", false, 0},
                      LimitCase{"DoubleSign", "--1", false, 0},
                      LimitCase{"Decimal", "1.5", false, 0}),
    [](const auto& info) { return info.param.name; });

TEST(ErrorBoxTextTest, AppendsAFullStopOnlyAfterCharactersSortingAfterIt) {
  EXPECT_EQ(ErrorBoxText("Unsupported GIF version"), "Unsupported GIF version.");
  EXPECT_EQ(ErrorBoxText("Saving..."), "Saving...");
  EXPECT_EQ(ErrorBoxText("Cannot write file /tmp/x.gif"), "Cannot write file /tmp/x.gif.");
  EXPECT_EQ(ErrorBoxText("value -"), "value -");
  EXPECT_EQ(ErrorBoxText("path ends with a slash/"), "path ends with a slash/.");
  EXPECT_EQ(ErrorBoxText(""), "");
}

TEST(ErrorTextTest, AFailedAllocationSaysOutOfMemory) {
  EXPECT_EQ(ErrorText(std::bad_alloc()), "Out of memory.");
  EXPECT_EQ(ErrorText(EAppError("Cannot open FLIC file a.flc: no such file")),
            "Cannot open FLIC file a.flc: no such file.");
  // A reason in brackets ends on a character that sorts before the stop.
  EXPECT_EQ(ErrorText(EAppError("Cannot open FLIC file a.flc: not a FLIC file (a picture of 0 × 0 pixels)")),
            "Cannot open FLIC file a.flc: not a FLIC file (a picture of 0 × 0 pixels)");
}

}  // namespace
}  // namespace tovasel
