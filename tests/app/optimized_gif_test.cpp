#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "app/app_test_support.h"
#include "app/conversion_session.h"
#include "app/gif_conversion.h"
#include "colour/lossless_gif.h"
#include "support/giflib_reader.h"
#include "support/shared_corpus.h"

namespace tovasel {
namespace {

namespace fw = flicwriter;
using testing::RecordingView;
using testing::TempFolder;

// Browsers and most viewers show a delay of 0 or 1 hundredth as 10.
int ShownDelay(int delay) { return delay < 2 ? 10 : delay; }

// What a viewer shows over time: consecutive equal pictures count as one,
// shown for the sum of their delays, where every one of those delays is
// shown as written.
struct Moment {
  std::vector<std::int32_t> canvas;
  int delay = 0;
  bool operator==(const Moment&) const = default;
};

void Show(std::vector<Moment>& moments, const std::vector<std::int32_t>& canvas, int delay) {
  if (!moments.empty() && moments.back().canvas == canvas && moments.back().delay >= 2 && delay >= 2) {
    moments.back().delay += delay;
  } else {
    moments.push_back({canvas, delay});
  }
}

std::vector<Moment> Timeline(const testing::PlayedGif& gif) {
  std::vector<Moment> moments;
  for (const auto& frame : gif.frames) Show(moments, frame.canvas, frame.delay);
  return moments;
}

// How long one loop of the animation lasts in a browser, in hundredths.
int BrowserTime(const testing::PlayedGif& gif) {
  int total = 0;
  for (const auto& frame : gif.frames) total += ShownDelay(frame.delay);
  return total;
}

void Convert(const std::string& flic, const TConvertOptions& options, const std::string& gif) {
  RecordingView view;
  view.options = options;
  TConversionSession session(view);
  session.OpenForConversion(flic);
  session.ConvertToGif(gif);
}

// The plain GIF of options and the smallest GIF of the same options at
// level, both written into folder and played back through giflib.
struct PlainAndSmallest {
  testing::PlayedGif exact;
  testing::PlayedGif small;
};

PlainAndSmallest ConvertBoth(const std::string& flic, TConvertOptions options, int level, const std::filesystem::path& folder) {
  Convert(flic, options, folder / "exact.gif");
  options.Optimize = level;
  Convert(flic, options, folder / "small.gif");
  return {testing::PlayGif(folder / "exact.gif"), testing::PlayGif(folder / "small.gif")};
}

// Colours that differ from each other in every entry.
fw::TColours DistinctColours(int shift) {
  fw::TColours colours{};
  for (int i = 0; i < 256; ++i) {
    colours[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                            static_cast<std::uint8_t>(shift)};
  }
  return colours;
}

fw::TAnimationFrame Frame(const fw::TIndexedPicture& picture, const fw::TColours& colours) {
  fw::TAnimationFrame frame;
  frame.Picture = picture;
  frame.Colours = colours;
  return frame;
}

std::vector<fw::TAnimationFrame> RepeatedFrame() {
  auto frames = testing::MovingBlocks(12, 9, 3, 7);
  frames.insert(frames.begin() + 2, frames[1]);
  frames.insert(frames.begin() + 2, frames[1]);
  return frames;
}

// Only one corner pixel changes, and then the opposite one.
std::vector<fw::TAnimationFrame> OneCorner() {
  const auto colours = DistinctColours(9);
  fw::TIndexedPicture picture(15, 11, 3);
  std::vector<fw::TAnimationFrame> frames = {Frame(picture, colours)};
  picture.At(14, 0) = 200;
  frames.push_back(Frame(picture, colours));
  picture.At(0, 10) = 201;
  frames.push_back(Frame(picture, colours));
  return frames;
}

// A pixel goes to another colour and back; the ring frame ends the loop.
std::vector<fw::TAnimationFrame> ReturningPixel() {
  const auto colours = DistinctColours(20);
  fw::TIndexedPicture picture(6, 4, 1);
  for (int x = 0; x < 6; ++x) picture.At(x, 1) = static_cast<std::uint8_t>(x + 5);
  std::vector<fw::TAnimationFrame> frames;
  for (const std::uint8_t value : {7, 40, 7, 40, 40, 7}) {
    picture.At(3, 2) = value;
    frames.push_back(Frame(picture, colours));
  }
  return frames;
}

std::vector<fw::TAnimationFrame> OnePixel() {
  const auto colours = DistinctColours(1);
  std::vector<fw::TAnimationFrame> frames;
  for (const std::uint8_t value : {4, 4, 9, 4, 250}) frames.push_back(Frame(fw::TIndexedPicture(1, 1, value), colours));
  return frames;
}

// Every one of 256 colours on screen, then all of them replaced by others,
// so that no single table holds every frame's colours.
std::vector<fw::TAnimationFrame> AllColours() {
  fw::TIndexedPicture picture(17, 16);
  for (int i = 0; i < 17 * 16; ++i) picture.Pixels[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7);
  std::vector<fw::TAnimationFrame> frames = {Frame(picture, DistinctColours(0))};
  picture.At(5, 5) = 0;
  frames.push_back(Frame(picture, DistinctColours(0)));
  frames.push_back(Frame(picture, DistinctColours(77)));
  for (int x = 0; x < 17; ++x) picture.At(x, 3) = 11;
  frames.push_back(Frame(picture, DistinctColours(77)));
  frames.push_back(Frame(picture, DistinctColours(0)));
  return frames;
}

// Colours of the first picture show through the second one's transparent
// colour while it brings 255 others, in one box: more colours than a table
// holds are on screen there.
std::vector<fw::TAnimationFrame> ColoursShowThrough() {
  fw::TIndexedPicture first(32, 16), second(32, 16);
  for (int k = 0; k < 256; ++k) {
    first.Pixels[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(k);
    second.Pixels[static_cast<std::size_t>(256 + k)] = static_cast<std::uint8_t>(k + 32);
  }
  second.At(31, 0) = 7;
  return {Frame(first, DistinctColours(0)), Frame(second, DistinctColours(99))};
}

struct AnimationCase {
  const char* name;
  std::function<std::vector<fw::TAnimationFrame>()> frames;
};

const AnimationCase kAnimations[] = {
    {"PaletteChange", [] { return testing::MovingBlocks(21, 13, 9, 3); }},
    {"RepeatedFrame", RepeatedFrame},
    {"OneCorner", OneCorner},
    {"ReturningPixel", ReturningPixel},
    {"OnePixel", OnePixel},
    {"OddSize", [] { return testing::MovingBlocks(7, 5, 6, 11); }},
    {"AllColours", AllColours},
    {"ColoursShowThrough", ColoursShowThrough},
};

using LosslessParam = std::tuple<AnimationCase, int, bool>;

class OptimizedGifTest : public ::testing::TestWithParam<LosslessParam> {};

// Decoded by giflib with the disposal methods, the optimised file shows
// what the exact-colour conversion shows, for as long.
TEST_P(OptimizedGifTest, ShowsTheExactColourPictures) {
  const auto& [animation, level, transparent] = GetParam();
  TempFolder folder("optimize");
  testing::WriteAnimation(folder / "in.flc", animation.frames());
  TConvertOptions options;
  options.Transparent = transparent;
  options.ExactColours = true;
  const auto [exact, small] = ConvertBoth(folder / "in.flc", options, level, folder.path());
  ASSERT_EQ(small.error, 0);
  EXPECT_EQ(small.width, exact.width);
  EXPECT_EQ(small.height, exact.height);
  ASSERT_FALSE(small.frames.empty());
  EXPECT_TRUE(small.frames[0].hasLoop);
  EXPECT_EQ(small.frames[0].loopCount, 0);
  EXPECT_TRUE(Timeline(small) == Timeline(exact));
  EXPECT_LE(std::filesystem::file_size(folder / "small.gif"), std::filesystem::file_size(folder / "exact.gif"));

  if (level == 2) {
    options.Optimize = 1;
    Convert(folder / "in.flc", options, folder / "level1.gif");
    EXPECT_LE(std::filesystem::file_size(folder / "small.gif"), std::filesystem::file_size(folder / "level1.gif"));
  }
}

INSTANTIATE_TEST_SUITE_P(Animations, OptimizedGifTest,
                         ::testing::Combine(::testing::ValuesIn(kAnimations), ::testing::Values(1, 2),
                                            ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "Level" +
                                  std::to_string(std::get<1>(info.param)) +
                                  (std::get<2>(info.param) ? "Transparent" : "");
                         });

// Equal pictures merge into one frame; the delays still add up, also with
// exact timing and with a limit past the last cached frame.
TEST(OptimizedGifTimingTest, MergedFramesKeepTheTotalDelay) {
  TempFolder folder("optimize-timing");
  testing::WriteAnimation(folder / "in.flc", RepeatedFrame());
  TConvertOptions options;
  options.ExactColours = options.ExactTiming = true;
  options.LimitOn = true;
  options.LimitText = "8";
  const auto [exact, small] = ConvertBoth(folder / "in.flc", options, 1, folder.path());
  ASSERT_EQ(exact.frames.size(), 9u);
  EXPECT_LT(small.frames.size(), Timeline(exact).size() + 1);
  EXPECT_TRUE(Timeline(small) == Timeline(exact));
}

// Equal pictures join only where a browser shows their summed delay as
// long as their delays one after the other; the optimised file then plays
// as long as the plain one, frame for frame.
struct PlayingTimeCase {
  const char* name;
  std::uint32_t speed;  // milliseconds per frame
};

const PlayingTimeCase kPlayingTimes[] = {
    {"ZeroDelay", 5}, {"OneHundredth", 8}, {"OneOrTwo", 15}, {"TwoOrThree", 25}, {"Long", 70},
};

using PlayingTimeParam = std::tuple<PlayingTimeCase, int, bool>;

class OptimizedPlayingTimeTest : public ::testing::TestWithParam<PlayingTimeParam> {};

TEST_P(OptimizedPlayingTimeTest, PlaysAsLongAsThePlainGif) {
  const auto& [timing, level, exactTiming] = GetParam();
  TempFolder folder("optimize-time");
  fw::TAnimationOptions animation;
  animation.Speed = timing.speed;
  auto frames = RepeatedFrame();
  frames.push_back(frames.back());
  fw::WriteFile(folder / "in.flc", fw::Serialize(fw::BuildAnimation(frames, animation)));
  TConvertOptions options;
  options.ExactColours = true;
  options.ExactTiming = exactTiming;
  const auto [exact, small] = ConvertBoth(folder / "in.flc", options, level, folder.path());
  ASSERT_EQ(small.error, 0);
  EXPECT_EQ(BrowserTime(small), BrowserTime(exact));
  EXPECT_TRUE(Timeline(small) == Timeline(exact));
  // One frame for each moment: the pictures that may join do.
  EXPECT_EQ(small.frames.size(), Timeline(exact).size());
}

INSTANTIATE_TEST_SUITE_P(Speeds, OptimizedPlayingTimeTest,
                         ::testing::Combine(::testing::ValuesIn(kPlayingTimes), ::testing::Values(1, 2),
                                            ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "Level" +
                                  std::to_string(std::get<1>(info.param)) +
                                  (std::get<2>(info.param) ? "ExactTiming" : "");
                         });

// The same picture shown again and again, with the delays of each row: a
// frame per picture unless all the delays joined are 2 or more.
struct RepeatCase {
  const char* name;
  std::vector<std::uint16_t> delays;
  std::size_t frames;
};

class LosslessRepeatTest : public ::testing::TestWithParam<std::tuple<RepeatCase, int>> {};

TEST_P(LosslessRepeatTest, JoinsOnlyDelaysShownAsWritten) {
  const auto& [repeat, level] = GetParam();
  const std::vector<std::int32_t> picture = {0x102030, 0x405060, 0x102030, 0x708090};
  TLosslessSource source;
  source.Width = 2;
  source.Height = 2;
  source.Count = static_cast<std::int64_t>(repeat.delays.size());
  source.Picture = [&](std::int64_t i, std::uint16_t& delay) {
    delay = repeat.delays[static_cast<std::size_t>(i)];
    return picture.data();
  };
  TempFolder folder("lossless-repeat");
  {
    std::ofstream out(folder / "out.gif", std::ios::binary);
    EncodeLosslessGif(source, level, out);
  }
  const auto gif = testing::PlayGif(folder / "out.gif");
  ASSERT_EQ(gif.error, 0);
  ASSERT_EQ(gif.frames.size(), repeat.frames);
  int expectedTime = 0;
  for (const std::uint16_t delay : repeat.delays) expectedTime += ShownDelay(delay);
  EXPECT_EQ(BrowserTime(gif), expectedTime);
  for (const auto& frame : gif.frames) EXPECT_EQ(frame.canvas, picture);
}

const RepeatCase kRepeats[] = {
    {"Zeros", {0, 0, 0}, 3},
    {"Ones", {1, 1}, 2},
    {"TwoThenOne", {2, 1}, 2},
    {"OneThenTwo", {1, 2}, 2},
    {"Twos", {2, 2, 2}, 1},
    {"LongThenZero", {50, 0, 7}, 3},
    {"Long", {50, 7, 9}, 1},
};

INSTANTIATE_TEST_SUITE_P(Delays, LosslessRepeatTest,
                         ::testing::Combine(::testing::ValuesIn(kRepeats), ::testing::Values(1, 2)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "Level" +
                                  std::to_string(std::get<1>(info.param));
                         });

// Pictures given straight to the encoder may clear pixels again: the frame
// before takes the disposal that clears them, and the picture stays exact.
class LosslessEncoderTest : public ::testing::TestWithParam<int> {};

TEST_P(LosslessEncoderTest, PixelsThatTurnClearAreCleared) {
  constexpr std::int32_t C = kClearPixel;
  const std::vector<std::vector<std::int32_t>> pictures = {
      {C, 0x102030, C, C, 0x405060, 0x102030},
      {0x102030, 0x102030, C, C, 0x405060, 0x102030},
      {0x102030, C, C, C, 0x405060, 0x102030},
      {0x102030, C, C, C, 0x405060, 0x102030},
      {C, C, C, C, C, C},
      {0x0000FF, C, 0x00FF00, C, C, C},
  };
  TLosslessSource source;
  source.Width = 3;
  source.Height = 2;
  source.Count = static_cast<std::int64_t>(pictures.size());
  source.Picture = [&](std::int64_t i, std::uint16_t& delay) {
    delay = static_cast<std::uint16_t>(i + 1);
    return pictures[static_cast<std::size_t>(i)].data();
  };
  TempFolder folder("lossless");
  {
    std::ofstream out(folder / "out.gif", std::ios::binary);
    EncodeLosslessGif(source, GetParam(), out);
  }
  const auto gif = testing::PlayGif(folder / "out.gif");
  ASSERT_EQ(gif.error, 0);
  std::vector<Moment> expected;
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    if (!expected.empty() && expected.back().canvas == pictures[i]) {
      expected.back().delay += static_cast<int>(i + 1);
    } else {
      expected.push_back({pictures[i], static_cast<int>(i + 1)});
    }
  }
  EXPECT_TRUE(Timeline(gif) == expected);
  EXPECT_EQ(gif.frames.size(), 5u);
}

INSTANTIATE_TEST_SUITE_P(Levels, LosslessEncoderTest, ::testing::Values(1, 2));

// The real animations of the shared corpus round-trip too.
class OptimizedCorpusTest : public ::testing::TestWithParam<const char*> {};

TEST_P(OptimizedCorpusTest, ShowsTheExactColourPictures) {
  TOVASEL_SKIP_WITHOUT_CORPUS();
  const auto source = testing::CorpusFolder() / GetParam();
  TempFolder folder("optimize-corpus");
  TConvertOptions options;
  options.ExactColours = options.Transparent = true;
  const auto [exact, small] = ConvertBoth(source.string(), options, 1, folder.path());
  EXPECT_TRUE(Timeline(small) == Timeline(exact));
}

INSTANTIATE_TEST_SUITE_P(Files, OptimizedCorpusTest, ::testing::Values("2422.flc", "hopper.fli"));

// Frames of noise over many colours: the smallest GIF's global table costs
// more than it saves, and only the whole outputs tell. At both levels the
// smallest GIF is then the plain one, byte for byte; where it wins, it is
// smaller.
TEST(SmallestGifTest, NeverLargerThanThePlainGif) {
  struct TNoise {
    int Width, Height, Frames;
    unsigned Seed;
    bool PlainWins;
  };
  for (const TNoise& n : {TNoise{8, 8, 20, 6, true}, TNoise{4, 4, 2, 3, true}, TNoise{64, 64, 4, 5, false}}) {
    std::mt19937 rng(n.Seed);
    std::vector<fw::TAnimationFrame> frames;
    for (int f = 0; f < n.Frames; ++f) {
      fw::TAnimationFrame frame;
      frame.Picture = fw::TIndexedPicture(n.Width, n.Height);
      for (auto& p : frame.Picture.Pixels) p = static_cast<std::uint8_t>(rng());
      for (auto& c : frame.Colours) c = {static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()),
                                         static_cast<std::uint8_t>(rng())};
      frames.push_back(frame);
    }
    TempFolder folder("smallest-plain");
    testing::WriteAnimation(folder / "noise.flc", frames);
    const auto convert = [&](int level) {
      RecordingView view;
      view.options.ExactColours = level == 0;
      view.options.Optimize = level;
      TConversionSession session(view);
      session.ConvertFile(folder / "noise.flc", folder / "out.gif");
      return testing::ReadBytes(folder / "out.gif");
    };
    const auto plain = convert(0);
    for (const int level : {1, 2}) {
      const auto smallest = convert(level);
      if (n.PlainWins) {
        EXPECT_EQ(smallest, plain) << n.Width << "x" << n.Height << " level " << level;
      } else {
        EXPECT_LT(smallest.size(), plain.size()) << n.Width << "x" << n.Height << " level " << level;
      }
    }
  }
}

// The bound that spares measuring the plain GIF must be below every plain
// GIF, also of frames that compress best: one colour all over.
TEST(SmallestGifTest, PlainBoundIsBelowTheBestCompressedPlainGif) {
  for (const auto& [width, height, count] : {std::tuple{1, 1, 1}, std::tuple{2, 1, 3}, std::tuple{320, 200, 2},
                                             std::tuple{4096, 4, 1}, std::tuple{1, 4096, 3}, std::tuple{13, 7, 40}}) {
    std::vector<fw::TAnimationFrame> frames(static_cast<std::size_t>(count));
    for (auto& frame : frames) frame.Picture = fw::TIndexedPicture(width, height, 7);
    TempFolder folder("plain-bound");
    testing::WriteAnimation(folder / "flat.flc", frames);
    RecordingView view;
    view.options.ExactColours = true;
    TConversionSession session(view);
    const int written = session.ConvertFile(folder / "flat.flc", folder / "flat.gif");
    EXPECT_LE(PlainGifLowerBound(written, std::int64_t{width} * height),
              static_cast<std::int64_t>(testing::ReadBytes(folder / "flat.gif").size()))
        << width << "x" << height << " x " << count;
  }
}

}  // namespace
}  // namespace tovasel
