// The frame budget: what a conversion, its document and the jobs of a
// parallel batch may hold together.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "app/app_error.h"
#include "app/conversion_session.h"
#include "app/frame_budget.h"
#include "app_test_support.h"

namespace fs = std::filesystem;

namespace tovasel::testing {
namespace {

TEST(FrameBudgetTest, ReservationsStayWithinTheCapacityAndComeBack) {
  TFrameBudget budget(1000);
  {
    TBudgetHold first(budget, 600);
    ASSERT_TRUE(first.Held());
    EXPECT_FALSE(TBudgetHold(budget, 401).Held());
    TBudgetHold second(budget, 400);
    EXPECT_TRUE(second.Held());
    EXPECT_EQ(budget.Available(), 0);
    first.ReleasePart(250);
    EXPECT_EQ(budget.Available(), 250);
    TBudgetHold moved = std::move(first);
    EXPECT_FALSE(first.Held());
    EXPECT_EQ(moved.Units(), 350);
  }
  EXPECT_EQ(budget.Available(), 1000);
  EXPECT_FALSE(budget.TryReserve(-1));
}

TEST(FrameBudgetTest, ConcurrentHoldsNeverOverdraw) {
  TFrameBudget budget(10);
  std::vector<std::thread> threads;
  std::atomic<int> overdrawn{0};
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) {
        TBudgetHold hold(budget, 3);
        if (budget.Available() < 0) ++overdrawn;
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(overdrawn, 0);
  EXPECT_EQ(budget.Available(), 10);
}

struct TCostCase {
  std::int64_t Frames;
  std::int64_t Pixels;
  std::int64_t Cost;
};

class FramesCostTest : public ::testing::TestWithParam<TCostCase> {};

TEST_P(FramesCostTest, CountsBookkeepingAndSaturates) {
  EXPECT_EQ(FramesCost(GetParam().Frames, GetParam().Pixels), GetParam().Cost);
}

INSTANTIATE_TEST_SUITE_P(
    Costs, FramesCostTest,
    ::testing::Values(TCostCase{0, 100, 0}, TCostCase{-5, 100, 0}, TCostCase{3, 1, 3 * (1 + kFrameBookkeeping)},
                      TCostCase{2, 0, 2 * kFrameBookkeeping},
                      TCostCase{std::int64_t{1} << 40, std::int64_t{1} << 30, std::numeric_limits<std::int64_t>::max()}));

// Millions of 1 x 1 frames look free by their pixels, yet each costs a
// frame object and a colour table.
TEST(ConversionBudgetTest, ManyTinyFramesAreRefusedByTheirBookkeeping) {
  TempFolder folder("tiny");
  testing::WriteAnimation(folder / "dot.flc", MovingBlocks(1, 1, 2, 4));
  RecordingView view;
  view.options.LimitOn = true;
  view.options.LimitText = "2999999";
  view.options.Palette = true;
  TConversionSession session(view, {.FrameBudget = std::int64_t{1} << 30});
  session.OpenForConversion(folder / "dot.flc");
  try {
    session.ConvertToGif(folder / "dot.gif");
    FAIL() << "no error";
  } catch (const EAppError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Frame limit 2999999 asks for too many frames for the Palette option: 2,933 MiB needed, 1,024 MiB allowed");
  }
  EXPECT_FALSE(fs::exists(folder / "dot.gif"));
}

// The cache and the document share one budget: a limit that fits beside
// nothing but not beside the cache is refused.
TEST(ConversionBudgetTest, CacheAndDocumentShareTheSessionBudget) {
  TempFolder folder("share");
  testing::WriteAnimation(folder / "a.flc", MovingBlocks(8, 8, 10, 4));
  const std::int64_t cache = FramesCost(10, 64);
  RecordingView view;
  view.options.LimitOn = true;
  view.options.Palette = true;
  TConversionSession session(view, {.FrameBudget = cache + FramesCost(10, 64)});
  session.OpenForConversion(folder / "a.flc");
  view.options.LimitText = "9";
  EXPECT_NO_THROW(session.ConvertToGif(folder / "a.gif"));
  // What the first conversion held came back.
  EXPECT_NO_THROW(session.ConvertToGif(folder / "a.gif"));
  view.options.LimitText = "10";
  EXPECT_THROW(session.ConvertToGif(folder / "a.gif"), EAppError);
  TConversionSession small(view, {.FrameBudget = cache - 1});
  EXPECT_THROW(small.OpenFlicFile(folder / "a.flc"), EAppError);
}

// A picture larger than the caller allows is refused by the session and by
// each job of the parallel batch, as a file beyond the default would be.
TEST(ConversionBudgetTest, CallersLargestPictureIsHonoured) {
  TempFolder folder("largest");
  testing::WriteAnimation(folder / "a.flc", MovingBlocks(8, 8, 3, 4));
  RecordingView view;
  EXPECT_NO_THROW(TConversionSession(view, {.MaxFramePixels = 64}).OpenForConversion(folder / "a.flc"));
  EXPECT_THROW(TConversionSession(view, {.MaxFramePixels = 63}).OpenForConversion(folder / "a.flc"), EAppError);
  EXPECT_EQ(TConversionSession(view, {.MaxFramePixels = 63}).RunBatch(folder.path().string(), true, 2), 1);
  EXPECT_FALSE(fs::exists(folder / "a.gif"));
}

// The window's Convert goes through the same session call as the command
// line: a file chosen over the open FLIC is refused.
TEST(ConversionBudgetTest, SessionRefusesToWriteOverItsOwnInput) {
  TempFolder folder("self");
  testing::WriteAnimation(folder / "a.flc", MovingBlocks(8, 8, 3, 4));
  const auto before = testing::ReadBytes(folder / "a.flc");
  RecordingView view;
  TConversionSession session(view);
  session.OpenFlicFile(folder / "a.flc");
  EXPECT_THROW(session.ConvertToGif(folder / "a.flc"), EAppError);
  EXPECT_TRUE(view.convertEnabled);
  EXPECT_EQ(testing::ReadBytes(folder / "a.flc"), before);
}

// A shared budget that holds one conversion at a time still converts every
// file, in order and without waiting forever, as a batch one by one would.
TEST(ConversionBudgetTest, ParallelBatchUnderABudgetForOneFileWritesEveryFile) {
  TempFolder a("budget-a"), b("budget-b");
  for (int i = 0; i < 4; ++i) {
    const std::string name = "f" + std::to_string(i) + ".flc";
    testing::WriteAnimation(a / name, MovingBlocks(12, 10, 5, static_cast<unsigned>(i)));
    testing::WriteAnimation(b / name, MovingBlocks(12, 10, 5, static_cast<unsigned>(i)));
  }
  RecordingView one, many;
  TConversionSession session(one);
  session.RunBatch(a.path().string());
  TConversionSession(many, {.FrameBudget = 2 * FramesCost(5, 120)}).RunBatch(b.path().string(), false, 4);
  for (int i = 0; i < 4; ++i) {
    const std::string name = "f" + std::to_string(i) + ".gif";
    EXPECT_EQ(testing::ReadBytes(a / name), testing::ReadBytes(b / name)) << name;
  }
}

struct StreamedBudgetCase {
  const char* name;
  int jobs;  // 0: one file at a time
  bool palette;
};

class StreamedBudgetTest : public ::testing::TestWithParam<StreamedBudgetCase> {};

// Without the options that look back over earlier frames no frame is held
// once written, so files whose frames far exceed the budget still convert,
// as convert writes them; with them each file is refused as before.
TEST_P(StreamedBudgetTest, FramesBeyondTheBudgetConvertOnlyWhenStreamed) {
  const StreamedBudgetCase& c = GetParam();
  TempFolder folder("streamed-budget");
  TempFolder reference("streamed-reference");
  for (const char* name : {"a.flc", "b.flc"}) {
    testing::WriteAnimation(folder / name, MovingBlocks(8, 8, 20, name[0]));
    testing::WriteAnimation(reference / name, MovingBlocks(8, 8, 20, name[0]));
  }
  const TLimits small{.FrameBudget = FramesCost(3, 64)};
  RecordingView view;
  view.options.Transparent = true;
  view.options.Palette = c.palette;
  int failures = -1;
  const auto run = [&](const std::string& root, const TLimits& limits) {
    TConversionSession session(view, limits);
    failures = session.RunBatch(root, true, std::max(c.jobs, 1));
  };
  run(folder.path().string(), small);
  if (c.palette) {
    EXPECT_EQ(failures, 2);
    for (const char* name : {"a", "b"}) {
      const std::string flic = folder / (std::string(name) + ".flc");
      const std::string refusal = "failed " + flic + ": FLIC file " + flic +
                                  " has too many frames for the Palette option: 22 KiB needed, 4 KiB allowed";
      EXPECT_NE(std::find(view.log.begin(), view.log.end(), refusal), view.log.end()) << refusal;
      EXPECT_FALSE(fs::exists(folder / (std::string(name) + ".gif")));
    }
    return;
  }
  EXPECT_EQ(failures, 0);
  RecordingView converter;
  converter.options = view.options;
  for (const char* name : {"a", "b"}) {
    TConversionSession session(converter);
    session.ConvertFile(reference / (std::string(name) + ".flc"), reference / (std::string(name) + ".gif"));
    EXPECT_EQ(testing::ReadBytes(folder / (std::string(name) + ".gif")),
              testing::ReadBytes(reference / (std::string(name) + ".gif")))
        << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Batches, StreamedBudgetTest,
                         ::testing::Values(StreamedBudgetCase{"OneByOne", 0, false},
                                           StreamedBudgetCase{"Parallel", 2, false},
                                           StreamedBudgetCase{"OneByOneWithPalette", 0, true},
                                           StreamedBudgetCase{"ParallelWithPalette", 2, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovasel::testing
