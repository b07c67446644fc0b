// The notification array: 1-based indices, its two failures and their texts.
#include <gtest/gtest.h>

#include "flic/dynamic_array.h"

namespace tovasel {
namespace {

struct TIndexCase {
  const char* Name;
  int Index;
  bool Valid;
};

class DynamicArrayIndex : public ::testing::TestWithParam<TIndexCase> {};

TEST_P(DynamicArrayIndex, AcceptsOneToCountOnly) {
  const TIndexCase& c = GetParam();
  TDynamicArray array(20);
  if (c.Valid) {
    EXPECT_EQ(array.Items(c.Index), 0);
    array.SetItems(c.Index, -7);
    EXPECT_EQ(array.Items(c.Index), -7);
    return;
  }
  try {
    (void)array.Items(c.Index);
    FAIL() << "reading index " << c.Index << " was allowed";
  } catch (const EOutOfBounds& e) {
    EXPECT_STREQ(e.what(), "Notification Array Reference Out of Bounds");
  }
  EXPECT_THROW(array.SetItems(c.Index, 1), EOutOfBounds);
}

INSTANTIATE_TEST_SUITE_P(Notify, DynamicArrayIndex,
                         ::testing::Values(TIndexCase{"First", 1, true}, TIndexCase{"Last", 20, true},
                                           TIndexCase{"Zero", 0, false}, TIndexCase{"PastTheEnd", 21, false},
                                           TIndexCase{"Negative", -1, false},
                                           TIndexCase{"Huge", 0x7FFFFFFF, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(DynamicArray, SetCountZeroesAndResizes) {
  TDynamicArray array(3);
  array.SetItems(3, 9);
  array.SetCount(5);
  EXPECT_EQ(array.Count(), 5);
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(array.Items(i), 0) << i;
  array.SetCount(0);
  EXPECT_THROW((void)array.Items(1), EOutOfBounds);
}

// The count is a 16-bit number: larger or negative requests fail cleanly
// and leave the array as it was.
TEST(DynamicArray, CountsBeyondSixteenBitsFailToAllocate) {
  TDynamicArray array(2);
  array.SetItems(2, 4);
  for (int n : {-1, 0x10000, 0x7FFFFFFF}) {
    try {
      array.SetCount(n);
      FAIL() << "count " << n << " was accepted";
    } catch (const EAllocateFailed& e) {
      EXPECT_STREQ(e.what(), "Notification Memory Allocation Failed");
    }
  }
  EXPECT_EQ(array.Count(), 2);
  EXPECT_EQ(array.Items(2), 4);
  EXPECT_THROW(TDynamicArray(-5), EAllocateFailed);
  EXPECT_EQ(TDynamicArray(0xFFFF).Count(), 0xFFFF);
}

}  // namespace
}  // namespace tovasel
