#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/app_error.h"
#include "app/conversion_session.h"
#include "app/frame_delays.h"
#include "app/gif_conversion.h"
#include "app_test_support.h"
#include "gif/gif_exception.h"
#include "support/giflib_reader.h"

namespace tovasel {
namespace {

using testing::MovingBlocks;
using testing::PlayGif;
using testing::RecordingView;
using testing::TempFolder;
namespace fw = tovasel::flicwriter;

constexpr int kWidth = 23;
constexpr int kHeight = 17;
constexpr int kFrames = 6;
constexpr std::uint32_t kSpeed = 70;  // delay 70 / 6 = 11

// The colour a viewer should see for a FLIC colour: each channel on the
// 216-colour cube, levels rounded as (c + 3) / 51.
std::int32_t OnCube(const fw::TRgb& c) {
  auto level = [](int v) { return (v + 3) / 51 * 51; };
  return (level(c.Red) << 16) | (level(c.Green) << 8) | level(c.Blue);
}

// Cache order: entry i is FLIC frame i + 2, the last entry frame 1.
const fw::TAnimationFrame& CachedSource(const std::vector<fw::TAnimationFrame>& frames, int i) {
  return frames[static_cast<std::size_t>((i + 1) % static_cast<int>(frames.size()))];
}

// What the viewer should show after each GIF frame of a conversion of
// cache entries 0..last: the cube colours of the frame, except that with
// transparency the colour of the frame's bottom-left pixel lets the picture
// before show through.
std::vector<std::vector<std::int32_t>> ExpectedPictures(
    const std::vector<fw::TAnimationFrame>& frames, int last, bool transparent) {
  std::vector<std::vector<std::int32_t>> pictures;
  std::vector<std::int32_t> canvas(static_cast<std::size_t>(kWidth) * kHeight, -1);
  for (int i = 0; i <= last; ++i) {
    const auto& source = CachedSource(frames, std::min(i, kFrames - 1));
    const std::int32_t key = OnCube(source.Colours[source.Picture.At(0, kHeight - 1)]);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const std::int32_t colour = OnCube(source.Colours[source.Picture.At(x, y)]);
        if (transparent && colour == key) continue;
        canvas[static_cast<std::size_t>(y) * kWidth + x] = colour;
      }
    }
    pictures.push_back(canvas);
  }
  return pictures;
}

// The distinct pictures in the order shown, starting from the empty canvas:
// a frame that shows nothing new (one the crop removed) leaves no trace.
std::vector<std::vector<std::int32_t>> ShownSequence(std::vector<std::vector<std::int32_t>> pictures) {
  if (!pictures.empty()) pictures.insert(pictures.begin(), std::vector<std::int32_t>(pictures[0].size(), -1));
  pictures.erase(std::unique(pictures.begin(), pictures.end()), pictures.end());
  return pictures;
}

struct OptionCase {
  bool transparent, palette, merge, crop;
  const char* limit;  // nullptr: limit off
};

std::string CaseName(const OptionCase& c) {
  std::string name;
  name += c.transparent ? "T" : "t";
  name += c.palette ? "P" : "p";
  name += c.merge ? "M" : "m";
  name += c.crop ? "C" : "c";
  name += c.limit ? std::string("_limit") + c.limit : std::string("_all");
  return name;
}

std::vector<OptionCase> AllOptionCases() {
  std::vector<OptionCase> cases;
  for (int bits = 0; bits < 16; ++bits) {
    for (const char* limit : {static_cast<const char*>(nullptr), "0", "2", "8"}) {
      cases.push_back({(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0, limit});
    }
  }
  return cases;
}

class ConversionOptionsTest : public ::testing::TestWithParam<OptionCase> {};

TEST_P(ConversionOptionsTest, GifShowsTheCachedFramesOnTheCube) {
  const OptionCase& c = GetParam();
  TempFolder folder("options");
  const auto frames = MovingBlocks(kWidth, kHeight, kFrames, 7);
  fw::TAnimationOptions animation;
  animation.Speed = kSpeed;
  testing::WriteAnimation(folder / "walk.flc", frames, animation);

  RecordingView view;
  view.options.Transparent = c.transparent;
  view.options.Palette = c.palette;
  view.options.Merge = c.merge;
  view.options.Crop = c.crop;
  view.options.LimitOn = c.limit != nullptr;
  view.options.LimitText = c.limit ? c.limit : "";
  TConversionSession session(view);
  session.OpenFlicFile(folder / "walk.flc");
  ASSERT_EQ(session.FrameCache.Count(), kFrames);
  session.ConvertToGif(folder / "walk.gif");

  const int last = c.limit ? std::stoi(c.limit) : kFrames - 1;
  EXPECT_EQ(view.progressMaximum, last + 1);
  EXPECT_EQ(view.progressSteps, last + 1);
  EXPECT_TRUE(view.convertEnabled);

  const testing::PlayedGif gif = PlayGif(folder / "walk.gif");
  ASSERT_EQ(gif.error, 0);
  EXPECT_EQ(gif.width, kWidth);
  EXPECT_EQ(gif.height, kHeight);
  ASSERT_FALSE(gif.frames.empty());
  if (!c.crop) { ASSERT_EQ(static_cast<int>(gif.frames.size()), last + 1); }

  // Only the first frame loops, forever.
  EXPECT_TRUE(gif.frames[0].hasLoop);
  EXPECT_EQ(gif.frames[0].loopCount, 0);
  for (std::size_t k = 1; k < gif.frames.size(); ++k) EXPECT_FALSE(gif.frames[k].hasLoop) << k;

  for (const auto& frame : gif.frames) {
    ASSERT_TRUE(frame.hasControl);
    if (!c.crop) { EXPECT_EQ(frame.delay, kSpeed / 6); }
    EXPECT_EQ(frame.disposal, 0);
    // Packing drops the transparency of a frame none of whose pixels uses it.
    if (c.transparent && !c.palette) { EXPECT_TRUE(frame.transparent); }
  }
  if (c.transparent && !c.merge && !c.crop) {
    // Each frame's own bottom-left pixel is its transparent colour.
    for (const auto& frame : gif.frames) {
      EXPECT_EQ(frame.transparentIndex,
                frame.indices[static_cast<std::size_t>(frame.height - 1) * frame.width]);
    }
  }

  std::vector<std::vector<std::int32_t>> shown;
  for (const auto& frame : gif.frames) shown.push_back(frame.canvas);
  // A frame the crop removes repeats the picture before it.
  EXPECT_EQ(ShownSequence(shown), ShownSequence(ExpectedPictures(frames, last, c.transparent)));
}

INSTANTIATE_TEST_SUITE_P(EveryOptionSet, ConversionOptionsTest, ::testing::ValuesIn(AllOptionCases()),
                         [](const auto& info) { return CaseName(info.param); });

TEST(ConversionTest, SameOptionsGiveTheSameBytesAndLeaveTheCacheUntouched) {
  TempFolder folder("repeat");
  testing::WriteAnimation(folder / "a.flc", MovingBlocks(kWidth, kHeight, kFrames, 3));
  RecordingView view;
  view.options.Merge = view.options.Palette = true;
  TConversionSession session(view);
  session.OpenFlicFile(folder / "a.flc");
  session.ConvertToGif(folder / "one.gif");
  session.ConvertToGif(folder / "two.gif");
  EXPECT_EQ(testing::ReadBytes(folder / "one.gif"), testing::ReadBytes(folder / "two.gif"));
}

struct FailureCase {
  const char* name;
  const char* limit;
  const char* message;
};

class ConversionFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ConversionFailureTest, ErrorLeavesTheExistingFileAndEnablesConvert) {
  TempFolder folder("failure");
  testing::WriteAnimation(folder / "a.flc", MovingBlocks(kWidth, kHeight, 3, 5));
  const std::string out = folder / "a.gif";
  { std::ofstream(out) << "precious"; }
  RecordingView view;
  view.options.LimitOn = true;
  view.options.LimitText = GetParam().limit;
  // Only the Palette option holds every frame.
  view.options.Palette = true;
  TConversionSession session(view, {.FrameBudget = std::int64_t{1} << 30});
  session.OpenFlicFile(folder / "a.flc");
  try {
    session.ConvertToGif(out);
    FAIL() << "no error";
  } catch (const std::exception& e) {
    EXPECT_EQ(std::string(e.what()), GetParam().message);
  }
  EXPECT_TRUE(view.convertEnabled);
  const auto bytes = testing::ReadBytes(out);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "precious");
}

INSTANTIATE_TEST_SUITE_P(
    Limits, ConversionFailureTest,
    ::testing::Values(FailureCase{"Letters", "abc", "'abc' is not a valid integer value"},
                      FailureCase{"Empty", "", "'' is not a valid integer value"},
                      FailureCase{"MinusOne", "-1", "Unsupported GIF version"},
                      FailureCase{"MinusTwo", "-2", "Progress bar property out of range"},
                      FailureCase{"MostNegative", "-2147483648", "Progress bar property out of range"},
                      FailureCase{"Largest", "2147483647", "Progress bar property out of range"},
                      FailureCase{"BeyondBudget", "100000000",
                                  "Frame limit 100000000 asks for too many frames for the Palette option: "
                                  "134,945 MiB needed, 1,024 MiB allowed"}),
    [](const auto& info) { return info.param.name; });

struct NoFramesCase {
  const char* name;
  TConvertOptions options;
};

class NoFramesTest : public ::testing::TestWithParam<NoFramesCase> {};

// A file that opens but holds no frames is refused whatever the boxes say:
// with the limit on it would otherwise become blank frames of no size.
TEST_P(NoFramesTest, ConversionIsRefusedAndTheExistingFileStays) {
  TempFolder folder("no-frames");
  auto layout = fw::BuildAnimation(MovingBlocks(kWidth, kHeight, 2, 4), {});
  layout.FrameCountOverride = 0;
  fw::WriteFile(folder / "empty.flc", fw::Serialize(layout));
  const std::string out = folder / "empty.gif";
  { std::ofstream(out) << "precious"; }
  RecordingView view;
  view.options = GetParam().options;
  TConversionSession session(view);
  session.OpenForConversion(folder / "empty.flc");
  ASSERT_TRUE(session.FileOpen());
  ASSERT_EQ(session.FrameCache.Count(), 0);
  try {
    session.ConvertToGif(out);
    FAIL() << "no error";
  } catch (const EAppError& e) {
    EXPECT_EQ(std::string(e.what()), "FLIC file " + (folder / "empty.flc") + " has no frames to convert");
  }
  EXPECT_TRUE(view.convertEnabled);
  const auto bytes = testing::ReadBytes(out);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "precious");
}

TConvertOptions Limited(const char* text, bool transparent = false) {
  TConvertOptions options;
  options.LimitOn = true;
  options.LimitText = text;
  options.Transparent = transparent;
  return options;
}

INSTANTIATE_TEST_SUITE_P(
    Options, NoFramesTest,
    ::testing::Values(NoFramesCase{"NoLimit", {}}, NoFramesCase{"LimitZero", Limited("0")},
                      NoFramesCase{"LimitThreeTransparent", Limited("3", true)},
                      NoFramesCase{"LimitMerged", [] {
                                     TConvertOptions o = Limited("2");
                                     o.Merge = o.Crop = o.Palette = true;
                                     return o;
                                   }()}),
    [](const auto& info) { return info.param.name; });

TEST(OpenFlicFileTest, CacheHoldsFrameTwoFirstAndFrameOneLast) {
  TempFolder folder("cache");
  const auto frames = MovingBlocks(kWidth, kHeight, 4, 11);
  testing::WriteAnimation(folder / "a.flc", frames);
  const std::vector<char> bytes = testing::ReadBytes(folder / "a.flc");
  for (const bool fromMemory : {false, true}) {
    SCOPED_TRACE(fromMemory ? "opened from memory" : "opened by path");
    RecordingView view;
    TConversionSession session(view);
    if (fromMemory) {
      session.OpenFlicBytes({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, "a.flc");
    } else {
      session.OpenFlicFile(folder / "a.flc");
    }
    ASSERT_EQ(session.FrameCache.Count(), 4);
    TBitmap bitmap;
    for (int i = 0; i < 4; ++i) {
      ASSERT_TRUE(session.FrameCache.CopyTo(i, bitmap));
      const auto& source = CachedSource(frames, i);
      for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
          const fw::TRgb& c = source.Colours[source.Picture.At(x, y)];
          const std::uint8_t* px = bitmap.ScanLine(y) + 3 * x;
          ASSERT_EQ((px[2] << 16) | (px[1] << 8) | px[0], (c.Red << 16) | (c.Green << 8) | c.Blue)
              << "entry " << i << " at " << x << "," << y;
        }
      }
    }
    // Outside the cache nothing is drawn.
    EXPECT_FALSE(session.FrameCache.CopyTo(4, bitmap));
  }
}

TEST(OpenFlicFileTest, MissingFileLeavesAnEmptyCacheAndConversionRefusesIt) {
  TempFolder folder("missing");
  testing::WriteAnimation(folder / "a.flc", MovingBlocks(kWidth, kHeight, 3, 1));
  RecordingView view;
  TConversionSession session(view);
  session.OpenFlicFile(folder / "a.flc");
  ASSERT_EQ(session.FrameCache.Count(), 3);
  session.OpenFlicFile(folder / "nothing.flc");
  EXPECT_EQ(session.FrameCache.Count(), 0);
  EXPECT_FALSE(session.FileOpen());
  EXPECT_TRUE(view.messages.empty());
  EXPECT_THROW(session.OpenForConversion(folder / "nothing.flc"), EAppError);
}

TEST(OpenFlicFileTest, FileWhoseFramesWouldNotFitIsRefusedBeforeCapturing) {
  TempFolder folder("budget");
  // 65535 frames of 129 x 129 pixels are more than the budget allows,
  // however few bytes the file itself has: all but two are empty.
  auto layout = fw::BuildAnimation(MovingBlocks(129, 129, 2, 1), {});
  layout.Frames.insert(layout.Frames.end() - 1, 65533, fw::TFrame{});
  fw::WriteFile(folder / "huge.flc", fw::Serialize(layout));
  RecordingView view;
  TConversionSession session(view, {.FrameBudget = std::int64_t{1} << 30});
  try {
    session.OpenFlicFile(folder / "huge.flc");
    FAIL() << "no error";
  } catch (const EAppError& e) {
    EXPECT_EQ(std::string(e.what()), "FLIC file " + (folder / "huge.flc") +
                                         " has too many frames to keep in memory: 1,105 MiB needed, 1,024 MiB allowed");
  }
  EXPECT_EQ(session.FrameCache.Count(), 0);
  EXPECT_FALSE(session.FileOpen());
}

TEST(FrameCacheTest, IdenticalConsecutiveFramesShareStorage) {
  TFrameCache cache;
  cache.SetWidth(4);
  cache.SetHeight(2);
  std::uint8_t pixels[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  TIndexedPicture picture{4, 2, pixels, 4, {}};
  cache.Add(picture);
  const std::size_t one = cache.StorageBytes();
  cache.Add(picture);
  EXPECT_EQ(cache.StorageBytes(), one);
  pixels[0] = 9;
  cache.Add(picture);
  EXPECT_EQ(cache.StorageBytes(), 2 * one);
  EXPECT_EQ(cache.Count(), 3);
  // A picture of another size is refused; a new size empties the cache.
  EXPECT_EQ(cache.Add(TIndexedPicture{3, 2, pixels, 4, {}}), -1);
  cache.SetWidth(4);
  EXPECT_EQ(cache.Count(), 3);
  cache.SetHeight(3);
  EXPECT_EQ(cache.Count(), 0);
}

// A surface stores its rows bottom-up: the comparison with the entry before
// must follow the picture's rows, whichever way they run.
TEST(FrameCacheTest, BottomUpPicturesShareOnlyWhenEveryRowIsEqual) {
  TFrameCache cache;
  cache.SetWidth(4);
  cache.SetHeight(3);
  std::uint8_t pixels[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  const TIndexedPicture picture{4, 3, pixels + 8, -4, {}};
  cache.Add(picture);
  cache.Add(picture);
  pixels[0] = 99;  // the picture's bottom row
  cache.Add(picture);
  pixels[0] = 1;
  pixels[11] = 77;  // its top row
  cache.Add(picture);
  ASSERT_EQ(cache.Count(), 4);
  EXPECT_EQ(cache.Picture(1).TopRow, cache.Picture(0).TopRow);
  EXPECT_NE(cache.Picture(2).TopRow, cache.Picture(1).TopRow);
  const std::vector<std::uint8_t> third(cache.Picture(2).TopRow, cache.Picture(2).TopRow + 12);
  EXPECT_EQ(third, (std::vector<std::uint8_t>{9, 10, 11, 12, 5, 6, 7, 8, 99, 2, 3, 4}));
  const std::vector<std::uint8_t> fourth(cache.Picture(3).TopRow, cache.Picture(3).TopRow + 12);
  EXPECT_EQ(fourth, (std::vector<std::uint8_t>{9, 10, 11, 77, 5, 6, 7, 8, 1, 2, 3, 4}));
}

struct TimingCase {
  const char* name;
  std::uint16_t type;
  std::uint16_t speed;
  std::vector<int> delays;
};

class ExactDelayTest : public ::testing::TestWithParam<TimingCase> {};

TEST_P(ExactDelayTest, DelaysAddUpWithoutDrift) {
  const TimingCase& c = GetParam();
  for (std::size_t k = 0; k < c.delays.size(); ++k) {
    EXPECT_EQ(ExactDelay(c.type, c.speed, static_cast<std::int64_t>(k)), c.delays[k]) << k;
  }
  // Over many frames the total stays within half a hundredth of the truth.
  const std::int64_t frames = 10000;
  std::int64_t total = 0;
  for (std::int64_t k = 0; k < frames; ++k) total += ExactDelay(c.type, c.speed, k);
  const double exact = frames * (c.type == kFliType ? 10.0 * c.speed / 7 : c.speed / 10.0);
  EXPECT_LE(std::abs(static_cast<double>(total) - exact), 0.5);
}

INSTANTIATE_TEST_SUITE_P(
    Speeds, ExactDelayTest,
    ::testing::Values(TimingCase{"Fli5", kFliType, 5, {7, 7, 7, 8, 7, 7, 7}},
                      TimingCase{"Flc70", 0xAF12, 70, {7, 7, 7}},
                      TimingCase{"Flc15HalvesUp", 0xAF12, 15, {2, 1, 2, 1}},
                      TimingCase{"Flc0", 0xAF12, 0, {0, 0}},
                      TimingCase{"Fli1", kFliType, 1, {1, 2, 1, 2, 1, 2, 1}}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tovasel
