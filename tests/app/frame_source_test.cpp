// A conversion reads its pictures from the frame cache (the window) or
// straight from the decoder (the command line): both sources give the same
// pictures in the same order, again after a rewind and past the end, so the
// written files are the same byte for byte, and so are the errors.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/app_error.h"
#include "app/conversion_session.h"
#include "app/frame_budget.h"
#include "app/pass_differential.h"
#include "app/frame_source.h"
#include "app/gif_conversion.h"
#include "gif/output_target.h"
#include "app_test_support.h"
#include "imaging/bitmap.h"

namespace tovasel::testing {
namespace {

namespace fs = std::filesystem;

// Frames that repeat, change a small area, change some or all colours,
// change the bottom-left pixel or change everything, each coded as a delta,
// a whole picture or BLACK plus a delta.
std::vector<fw::TAnimationFrame> RandomAnimation(int width, int height, int frames, unsigned seed, int inks) {
  std::mt19937 rng(seed);
  const auto below = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const auto colour = [&]() -> fw::TRgb {
    return {static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng())};
  };
  const auto ink = [&] { return static_cast<std::uint8_t>(below(inks)); };
  fw::TAnimationFrame frame;
  frame.Picture = fw::TIndexedPicture(width, height);
  for (auto& c : frame.Colours) c = colour();
  for (auto& p : frame.Picture.Pixels) p = ink();
  std::vector<fw::TAnimationFrame> result;
  for (int f = 0; f < frames; ++f) {
    if (f > 0) {
      switch (below(6)) {
        case 0:
          break;
        case 1: {
          const int left = below(width), top = below(height);
          const std::uint8_t value = ink();
          for (int y = top; y < std::min(height, top + 1 + below(3)); ++y)
            for (int x = left; x < std::min(width, left + 1 + below(4)); ++x) frame.Picture.At(x, y) = value;
          break;
        }
        case 2:
          for (int n = 1 + below(4); n > 0; --n) frame.Colours[static_cast<std::size_t>(below(inks))] = colour();
          break;
        case 3:
          for (auto& c : frame.Colours) c = colour();
          break;
        case 4:
          frame.Picture.At(0, height - 1) = ink();
          break;
        default:
          for (auto& p : frame.Picture.Pixels) p = ink();
          break;
      }
    }
    frame.Encoding = static_cast<fw::TEncoding>(below(4));
    result.push_back(frame);
  }
  return result;
}

struct TOutcome {
  std::string Bytes;  // the written file, or "error: <message>"
  int Written = -1;
  int ProgressMaximum = -1;
  int ProgressSteps = -1;
};

std::string FileText(const std::string& path) {
  const std::vector<char> bytes = ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

// The window's way: the whole file into the cache first.
TOutcome FromCache(const std::string& flic, const TConvertOptions& options, const std::string& gif) {
  RecordingView view;
  view.options = options;
  TConversionSession session(view);
  TOutcome outcome;
  try {
    session.OpenForConversion(flic);
    outcome.Written = session.ConvertToGif(gif);
    outcome.Bytes = FileText(gif);
  } catch (const std::exception& e) {
    outcome.Bytes = std::string("error: ") + e.what();
  }
  outcome.ProgressMaximum = view.progressMaximum;
  outcome.ProgressSteps = view.progressSteps;
  return outcome;
}

TOutcome FromDecoder(const std::string& flic, const TConvertOptions& options, const std::string& gif) {
  RecordingView view;
  view.options = options;
  TConversionSession session(view);
  TOutcome outcome;
  try {
    outcome.Written = session.ConvertFile(flic, gif);
    outcome.Bytes = FileText(gif);
  } catch (const std::exception& e) {
    outcome.Bytes = std::string("error: ") + e.what();
  }
  EXPECT_EQ(session.FrameCache.Count(), 0) << "the frames went through the cache";
  EXPECT_TRUE(view.convertEnabled);
  outcome.ProgressMaximum = view.progressMaximum;
  outcome.ProgressSteps = view.progressSteps;
  return outcome;
}

// Both ways write into folders of their own, so that a file one leaves
// cannot pass for the other's.
void ExpectSameOutcome(const std::string& flic, const TConvertOptions& options, const std::string& what) {
  TempFolder document("cached");
  TempFolder streamed("decoded");
  const TOutcome expected = FromCache(flic, options, document / "out.gif");
  const TOutcome actual = FromDecoder(flic, options, streamed / "out.gif");
  const std::string name = what + OptionsName(options) + (options.ExactTiming ? " exact-timing" : "");
  ASSERT_EQ(expected.Bytes.size(), actual.Bytes.size()) << name << "\n" << expected.Bytes.substr(0, 80) << "\n"
                                                       << actual.Bytes.substr(0, 80);
  ASSERT_TRUE(expected.Bytes == actual.Bytes) << name << ": bytes differ";
  EXPECT_EQ(expected.Written, actual.Written) << name;
  EXPECT_EQ(expected.ProgressMaximum, actual.ProgressMaximum) << name;
  EXPECT_EQ(expected.ProgressSteps, actual.ProgressSteps) << name;
  // A failed conversion leaves nothing behind, not even its temporary file.
  if (actual.Written < 0) { EXPECT_TRUE(fs::is_empty(streamed.path())) << name; }
}

// Option sets that take every route (frame by frame, the document, the
// smallest GIF), without a limit and with limits at the start, within and
// beyond the frames.
std::vector<TConvertOptions> OptionSets(int frames) {
  std::vector<TConvertOptions> sets;
  for (const std::string& limit : {std::string(), std::string("0"), std::to_string(frames / 2),
                                  std::to_string(frames + 3)}) {
    for (int route = 0; route < 5; ++route) {
      TConvertOptions options;
      options.LimitOn = !limit.empty();
      options.LimitText = limit;
      options.Transparent = route % 2 == 1;
      options.ExactColours = route == 1 || route == 4;
      options.ExactTiming = route == 2;
      options.Merge = options.Crop = route == 3;
      options.Palette = route == 4;
      sets.push_back(options);
    }
    TConvertOptions smallest;
    smallest.LimitOn = !limit.empty();
    smallest.LimitText = limit;
    smallest.Transparent = true;
    smallest.Optimize = limit.empty() ? 2 : 1;
    sets.push_back(smallest);
  }
  return sets;
}

struct TStreamCase {
  const char* Name;
  int Width;
  int Height;
  int Frames;
  unsigned Seed;
  int Inks;
  fw::TAnimationOptions Flic;
};

class FrameSourceTest : public ::testing::TestWithParam<TStreamCase> {};

TEST_P(FrameSourceTest, DecoderWritesWhatTheCacheWrites) {
  const TStreamCase& c = GetParam();
  TempFolder folder("source");
  const std::string flic = folder / "a.flc";
  WriteAnimation(flic, RandomAnimation(c.Width, c.Height, c.Frames, c.Seed, c.Inks), c.Flic);
  for (const TConvertOptions& options : OptionSets(c.Frames)) ExpectSameOutcome(flic, options, c.Name);
}

fw::TAnimationOptions Fli(bool classic, bool ring, std::uint32_t speed) {
  fw::TAnimationOptions o;
  o.FliDeltas = true;
  o.Colour64 = true;
  o.Classic = classic;
  o.RingFrame = ring;
  o.Speed = speed;
  return o;
}

fw::TAnimationOptions Flc(bool ring, std::uint32_t speed) {
  fw::TAnimationOptions o;
  o.RingFrame = ring;
  o.Speed = speed;
  return o;
}

INSTANTIATE_TEST_SUITE_P(
    GeneratedAnimations, FrameSourceTest,
    ::testing::Values(TStreamCase{"OnePixel", 1, 1, 7, 1, 3, Flc(true, 70)},
                      TStreamCase{"OddSize", 7, 5, 12, 2, 5, Flc(false, 33)},
                      TStreamCase{"TallNarrowFli", 3, 17, 10, 3, 8, Fli(false, true, 5)},
                      TStreamCase{"ClassicFliWithoutRing", 13, 3, 9, 4, 16, Fli(true, false, 3)},
                      // More colours than 16 then 256 map entries: the
                      // screen descriptor names the largest table, which
                      // comes late.
                      TStreamCase{"ManyColours", 16, 16, 9, 5, 256, Flc(true, 50)},
                      TStreamCase{"OneFrame", 5, 4, 1, 6, 4, Flc(true, 70)}),
    [](const ::testing::TestParamInfo<TStreamCase>& info) { return info.param.Name; });

// The largest colour table anywhere but the first frame, and the first
// frame's table the largest: the header rewritten at the end names it, as
// the whole document's header does.
TEST(FrameByFrameHeaderTest, LargestTableFirstOrLast) {
  for (const bool largestFirst : {true, false}) {
    TFrameCache cache;
    cache.SetWidth(16);
    cache.SetHeight(16);
    std::vector<std::uint8_t> pixels(256);
    TIndexedPicture picture{16, 16, pixels.data(), 16, {}};
    for (int i = 0; i < 256; ++i) picture.Colors[static_cast<std::size_t>(i)] = {0, 0, static_cast<std::uint8_t>(i), 0};
    for (int f = 0; f < 4; ++f) {
      const bool large = (f == 0) == largestFirst;
      for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(large ? i % 256 : i % 2);
      cache.Add(picture);
    }
    TConvertOptions exact;
    exact.ExactColours = true;
    const std::string written = ConvertedBytes(cache, exact);
    ASSERT_EQ(written, PassBytes(cache, exact, TPasses::Whole)) << (largestFirst ? "largest first" : "largest last");
    EXPECT_EQ(static_cast<unsigned char>(written[10]) & 7, 7) << "the screen names a 256-entry table";
  }
}

TEST(FrameSourceErrorTest, SameErrorsAndNothingWritten) {
  TempFolder folder("stream-errors");
  WriteAnimation(folder / "a.flc", MovingBlocks(9, 7, 3, 1));
  auto empty = fw::BuildAnimation(MovingBlocks(9, 7, 2, 1), {});
  empty.FrameCountOverride = 0;
  fw::WriteFile(folder / "empty.flc", fw::Serialize(empty));
  struct TCase {
    std::string File;
    std::string Limit;
  };
  for (const TCase& c : {TCase{"a.flc", "abc"}, TCase{"a.flc", "-1"}, TCase{"a.flc", "-2"},
                         TCase{"a.flc", "2147483647"}, TCase{"missing.flc", ""}, TCase{"empty.flc", ""},
                         TCase{"empty.flc", "3"}}) {
    TConvertOptions options;
    options.Transparent = true;
    options.LimitOn = !c.Limit.empty();
    options.LimitText = c.Limit;
    ExpectSameOutcome(folder / c.File, options, c.File);
  }
}

// Pictures that fail half-way.
class TFailingFrames final : public TFrameSource {
 public:
  int Width() const override { return 4; }
  int Height() const override { return 3; }
  int Count() const override { return 5; }
  TIndexedPicture Next() override {
    if (++drawn_ == 3) throw std::runtime_error("decoder gave up");
    return TIndexedPicture{4, 3, pixels_.data(), 4, {}};
  }
  void Rewind() override { drawn_ = 0; }

 private:
  int drawn_ = 0;
  std::vector<std::uint8_t> pixels_ = std::vector<std::uint8_t>(12);
};

// A source that fails half-way, on every route: the file that was there
// stays as it was and no temporary file is left beside it.
TEST(FrameSourceErrorTest, FailureHalfWayKeepsTheExistingFile) {
  TempFolder folder("source-fail");
  const std::string gif = folder / "out.gif";
  { std::ofstream(gif) << "keep"; }
  for (const int route : {0, 1, 2}) {
    TFailingFrames frames;
    TConversionSettings settings;
    settings.Speed = 70;
    settings.Options.Merge = route == 0;
    settings.Options.Palette = route == 1;
    settings.Options.Optimize = route == 2 ? 1 : 0;
    TGifConversion conversion(frames, settings);
    EXPECT_THROW(StoreOutput(gif, [&](std::ostream& stream) { conversion.WriteTo(stream); }), std::runtime_error)
        << route;
    EXPECT_EQ(FileText(gif), "keep");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
  }
}

// Memory that does not grow with the frames is not refused for them: a
// session whose budget holds two frames still converts many.
TEST(FrameByFrameBudgetTest, FramesNeverHeldAreNotCountedInTheBudget) {
  TempFolder folder("stream-budget");
  WriteAnimation(folder / "a.flc", MovingBlocks(8, 8, 12, 3));
  RecordingView view;
  view.options.LimitOn = true;
  view.options.LimitText = "40";
  TConversionSession session(view, {.FrameBudget = FramesCost(2, 64)});
  EXPECT_EQ(session.ConvertFile(folder / "a.flc", folder / "a.gif"), 41);
  view.options.Palette = true;
  EXPECT_THROW(session.ConvertFile(folder / "a.flc", folder / "b.gif"), EAppError);
  EXPECT_FALSE(fs::exists(folder / "b.gif"));
}

// A long animation made by repeating a cycle plays as the cycle written
// out in full: both convert to the same bytes.
TEST(DecodedFramesTest, LoopedAnimationPlaysItsCycleOverAndOver) {
  const auto cycle = RandomAnimation(6, 5, 3, 11, 6);
  std::vector<fw::TAnimationFrame> repeated;
  for (int f = 0; f < 12; ++f) repeated.push_back(cycle[static_cast<std::size_t>(f % 3)]);
  for (const bool ring : {true, false}) {
    TempFolder folder("stream-loop");
    fw::TAnimationOptions options;
    options.RingFrame = ring;
    WriteAnimation(folder / "full.flc", repeated, options);
    fw::WriteFile(folder / "looped.flc", fw::Serialize(fw::BuildLoopedAnimation(cycle, 12, options)));
    RecordingView view;
    TConversionSession session(view);
    session.ConvertFile(folder / "full.flc", folder / "full.gif");
    session.ConvertFile(folder / "looped.flc", folder / "looped.gif");
    EXPECT_EQ(ReadBytes(folder / "full.gif"), ReadBytes(folder / "looped.gif")) << "ring " << ring;
  }
}

// Whole real files with each option alone, and all of them with a limit
// beyond the last frame.
TEST(FrameSourceCorpusTest, EveryRealFileThatOpens) {
  TOVASEL_SKIP_WITHOUT_CORPUS();
  const auto files = CorpusFlicFiles();
  for (const auto& file : files) {
    TFlicDecoder probe;
    probe.Open(file);
    if (!probe.IsOpen()) continue;
    // The damaged files' 4096 x 4096 frames take seconds each to reduce.
    if (std::int64_t{probe.Surface().Width()} * probe.Surface().Height() > kLargestComparedFrame) continue;
    std::vector<TConvertOptions> sets(4);
    sets[1].Transparent = sets[1].ExactColours = sets[1].ExactTiming = sets[1].LimitOn = true;
    sets[1].LimitText = std::to_string(probe.FrameCount() + 3);
    sets[2].Merge = sets[2].Crop = sets[2].Palette = true;
    sets[3].Optimize = 1;
    for (const TConvertOptions& options : sets) ExpectSameOutcome(file.string(), options, file.filename().string());
  }
}

}  // namespace
}  // namespace tovasel::testing
