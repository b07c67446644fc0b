// The colour-map packing's and the frame compaction's pixel loops against
// the one-pixel-at-a-time loops they replace, on generated frames: the two
// must leave every pixel, count, map entry and transparency setting alike.

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "colour/frame_passes.h"
#include "colour_test_support.h"
#include "plain_pixel_loops.h"

namespace tovasel {
namespace {

constexpr std::int64_t kUseLimit = std::numeric_limits<std::int32_t>::max();

// The largest frame a case may draw; the smallest is 1 x 1.
struct TShape {
  int MaxWidth;
  int MaxHeight;
};

void PrintTo(const TShape& shape, std::ostream* os) { *os << shape.MaxWidth << "x" << shape.MaxHeight; }

class TRandom {
 public:
  explicit TRandom(unsigned seed) : engine_(seed) {}
  int Below(int n) { return static_cast<int>(engine_() % static_cast<unsigned>(n)); }
  bool OneIn(int n) { return Below(n) == 0; }
  // Few distinct colours, so that maps hold the same colour more than once,
  // black (the colour of a new transparent entry) often.
  TColor Colour() { return OneIn(6) ? MakeColor(0, 0, 0) : MakeColor(85 * Below(4), 85 * Below(4), 85 * Below(2)); }

 private:
  std::mt19937 engine_;
};

// Maps of any size, with many repeated colours or with none.
std::vector<TColor> RandomMap(TRandom& random) {
  const int size = random.OneIn(4) ? 256 : 1 + random.Below(256);
  std::vector<TColor> colours(static_cast<std::size_t>(size));
  const bool different = random.OneIn(3);
  const int offset = random.Below(2);
  for (std::size_t i = 0; i < colours.size(); ++i) {
    colours[i] = different ? MakeColor(static_cast<int>(i), offset, 0) : random.Colour();
  }
  // Now and then a colour twice among different ones, as a packed map holds
  // a used black beside the black of its transparent entry.
  if (different && colours.size() > 1 && random.OneIn(2)) {
    for (int twins = 1 + random.Below(3); twins > 0; --twins) {
      colours[static_cast<std::size_t>(random.Below(static_cast<int>(colours.size())))] =
          colours[static_cast<std::size_t>(random.Below(static_cast<int>(colours.size())))];
    }
  }
  return colours;
}

// Indices mostly inside a map of `entries` colours, now and then beyond it,
// mostly just beyond (where a colour appended to the map lands).
std::uint8_t RandomIndex(TRandom& random, int entries, bool beyond) {
  if (beyond && random.OneIn(20)) {
    return static_cast<std::uint8_t>(random.OneIn(2) ? random.Below(256) : std::min(255, entries + random.Below(2)));
  }
  return static_cast<std::uint8_t>(random.Below(entries));
}

// Everything the loops may change in a document, for comparing two.
struct TSnapshot {
  struct TFrame {
    int Left, Top, Width, Height;
    std::vector<std::uint8_t> Pixels;
    std::vector<TColor> Local;
    bool HasTransparency;
    bool HasControl;
    bool IsTransparent;
    int TransparentIndex;
    friend bool operator==(const TFrame&, const TFrame&) = default;
  };
  std::vector<TColor> Global;
  std::vector<TFrame> Frames;
  int Warnings = 0;
  friend bool operator==(const TSnapshot&, const TSnapshot&) = default;
};

TSnapshot SnapshotOf(const TGIFImage& document, int warnings) {
  TSnapshot shot;
  shot.Global = testing::ColoursOf(document.GlobalColors());
  shot.Warnings = warnings;
  for (int i = 0; i < document.Frames().ItemCount(); ++i) {
    const TGIFSubImage& f = document.Frames().FrameAt(i);
    const TGIFGraphicControlExtension* c = f.ControlExtension();
    shot.Frames.push_back({f.FrameLeft(), f.FrameTop(), f.FrameWidth(), f.FrameHeight(), testing::PixelsOf(f),
                           testing::ColoursOf(f.LocalColors()), f.HasTransparency(), c != nullptr,
                           c != nullptr && c->IsTransparent(), c != nullptr ? c->TransparentIndex() : -1});
  }
  return shot;
}

// A document built twice from one seed: once for the loops under test and
// once for the plain ones.
struct TTwin {
  TGIFImage Document;
  int Warnings = 0;
  TTwin() {
    Document.SetWarningHandler([this](TGIFImage&, int, const std::string&) { ++Warnings; });
  }
  TSnapshot Snapshot() const { return SnapshotOf(Document, Warnings); }
};

TGIFSubImage& AddFrame(TGIFImage& document, TRandom& random, const TShape& shape, const std::vector<TColor>& local,
                       int entries, int left = 0, int top = 0) {
  const int width = 1 + random.Below(shape.MaxWidth);
  const int height = 1 + random.Below(shape.MaxHeight);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height);
  const bool beyond = random.OneIn(3);
  for (std::uint8_t& p : pixels) p = RandomIndex(random, entries, beyond);
  return testing::AddHandFrame(document, left, top, width, height, local, pixels);
}

// A transparent index that occurs in the frame, one that may not, or one
// beyond its map.
int PickTransparent(TRandom& random, const TGIFSubImage& frame) {
  switch (random.Below(3)) {
    case 0:
      return frame.PixelData()[static_cast<std::size_t>(random.Below(static_cast<int>(frame.PixelDataSize())))];
    case 1:
      return random.Below(256);
    default:
      return std::max(0, 255 - random.Below(3));
  }
}

constexpr int kSeeds = 120;

class PixelLoops : public ::testing::TestWithParam<TShape> {};

TEST_P(PixelLoops, CountingAFrameMatchesCountingPixelByPixel) {
  for (unsigned seed = 0; seed < kSeeds; ++seed) {
    SCOPED_TRACE(seed);
    TTwin fast, plain;
    std::vector<std::int64_t> fastUses, plainUses;
    bool fastNeeds = false, plainNeeds = false;
    for (TTwin* twin : {&fast, &plain}) {
      TRandom random(seed);
      const std::vector<TColor> map = RandomMap(random);
      TGIFSubImage& frame = AddFrame(twin->Document, random, GetParam(), map, static_cast<int>(map.size()));
      if (random.OneIn(2)) testing::MakeTransparent(frame, PickTransparent(random, frame));
      THistogram histogram(frame.LocalColors());
      // Earlier frames' counts, some close enough to the limit that this
      // frame's pixels reach it.
      for (TColorTally& tally : histogram.Tallies) {
        tally.Uses = random.OneIn(8) ? kUseLimit - 1 - random.Below(64) : random.Below(1000);
      }
      std::vector<std::int64_t>& uses = twin == &fast ? fastUses : plainUses;
      if (twin == &fast) {
        TColorMapOptimizer optimizer(twin->Document);
        optimizer.CountFrame(histogram, frame);
        fastNeeds = optimizer.NeedsTransparent;
      } else {
        plainNeeds = testing::plain::CountFrame(histogram, frame);
      }
      for (const TColorTally& tally : histogram.Tallies) uses.push_back(tally.Uses);
    }
    EXPECT_EQ(fastUses, plainUses);
    EXPECT_EQ(fastNeeds, plainNeeds);
    EXPECT_TRUE(fast.Snapshot() == plain.Snapshot());
  }
}

TEST_P(PixelLoops, RemappingAFrameMatchesRemappingPixelByPixel) {
  for (unsigned seed = 0; seed < kSeeds; ++seed) {
    SCOPED_TRACE(seed);
    TTwin fast, plain;
    for (TTwin* twin : {&fast, &plain}) {
      TRandom random(seed);
      const std::vector<TColor> map = RandomMap(random);
      TGIFSubImage& frame = AddFrame(twin->Document, random, GetParam(), map, static_cast<int>(map.size()));
      if (!random.OneIn(3)) testing::MakeTransparent(frame, PickTransparent(random, frame));
      TColorMapOptimizer optimizer(twin->Document);
      auto histogram = std::make_unique<THistogram>(frame.LocalColors());
      histogram->UsedList.clear();
      for (TColorTally& tally : histogram->Tallies) {
        tally.NewIndex = random.Below(256);
        if (!random.OneIn(5)) histogram->UsedList.push_back(&tally);
      }
      histogram->CountedFrames.push_back(&frame);
      optimizer.NeedsTransparent = !random.OneIn(4);
      optimizer.SharedTransparentIndex = static_cast<std::uint8_t>(random.Below(256));
      if (twin == &fast) {
        optimizer.RemapHistogram(*histogram);
      } else {
        testing::plain::RemapFrame(frame, optimizer.Translation(*histogram), optimizer.NeedsTransparent,
                                   optimizer.SharedTransparentIndex);
      }
    }
    EXPECT_TRUE(fast.Snapshot() == plain.Snapshot());
  }
}

TEST_P(PixelLoops, CroppingMatchesScanningColumnByColumn) {
  for (unsigned seed = 0; seed < kSeeds; ++seed) {
    SCOPED_TRACE(seed);
    TTwin fast, plain;
    for (TTwin* twin : {&fast, &plain}) {
      TRandom random(seed);
      const std::vector<TColor> map = RandomMap(random);
      TGIFSubImage& frame = AddFrame(twin->Document, random, GetParam(), map, static_cast<int>(map.size()), 3, 5);
      const auto t = static_cast<std::uint8_t>(random.Below(static_cast<int>(map.size())));
      if (!random.OneIn(8)) testing::MakeTransparent(frame, t);
      // A transparent surround around a random rectangle (perhaps empty)
      // whose pixels may themselves be transparent.
      const int w = frame.FrameWidth(), h = frame.FrameHeight();
      const int x0 = random.Below(w), y0 = random.Below(h);
      const int x1 = x0 + random.Below(w - x0 + 1), y1 = y0 + random.Below(h - y0 + 1);
      const int transparentShare = 1 + random.Below(4);
      for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
          std::uint8_t& p = frame.PixelData()[static_cast<std::size_t>(y) * w + x];
          const bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
          if (!inside || random.Below(4) < transparentShare - 1) p = t;
        }
      }
      if (twin == &fast) {
        CropToContent(frame);
      } else {
        testing::plain::CropToContent(frame);
      }
    }
    EXPECT_TRUE(fast.Snapshot() == plain.Snapshot());
  }
}

TEST_P(PixelLoops, MergingMatchesComparingPixelByPixel) {
  for (unsigned seed = 0; seed < kSeeds; ++seed) {
    SCOPED_TRACE(seed);
    TTwin fast, plain;
    for (TTwin* twin : {&fast, &plain}) {
      TRandom random(seed);
      TGIFImage& document = twin->Document;
      const bool onGlobal = random.OneIn(2);
      std::vector<TColor> first = RandomMap(random);
      std::vector<TColor> second = random.OneIn(3) ? first : RandomMap(random);
      if (onGlobal) {
        for (TColor c : first) document.GlobalColors().AppendColor(c);
        second = first;
      }
      const std::vector<TColor> none;
      // A frame elsewhere on the global map whose transparent index the
      // merged frame must share.
      if (onGlobal && random.OneIn(2)) {
        TGIFSubImage& other = AddFrame(document, random, {2, 2}, none, static_cast<int>(first.size()));
        testing::MakeTransparent(other, random.Below(static_cast<int>(first.size())));
      }
      TGIFSubImage& previous = AddFrame(document, random, GetParam(), onGlobal ? none : first,
                                        static_cast<int>(first.size()), random.Below(6), random.Below(4));
      if (random.OneIn(3)) testing::MakeTransparent(previous, PickTransparent(random, previous));
      if (random.OneIn(8)) {
        TGIFGraphicControlExtension& control =
            previous.ControlExtension() != nullptr ? *previous.ControlExtension() : testing::AddControl(previous);
        control.SetDisposalMethod(static_cast<std::uint8_t>(random.Below(4)));
      }
      TGIFSubImage& frame = AddFrame(document, random, GetParam(), onGlobal ? none : second,
                                     static_cast<int>(second.size()), random.Below(6), random.Below(4));
      // Mostly the earlier frame's pixels again, changed in small areas,
      // some to the index a new entry would take, some to another index of
      // the same colour.
      const TFrameRect area = TFrameRect::Of(frame).Intersect(TFrameRect::Of(previous));
      const auto appended = static_cast<std::uint8_t>(std::min<std::size_t>(255, second.size()));
      for (int y = area.Top; y < area.Bottom; ++y) {
        for (int x = area.Left; x < area.Right; ++x) {
          std::uint8_t& own =
              frame.PixelData()[static_cast<std::size_t>(y - frame.FrameTop()) * frame.FrameWidth() + x - frame.FrameLeft()];
          const std::uint8_t before = previous.PixelData()[static_cast<std::size_t>(y - previous.FrameTop()) *
                                                               previous.FrameWidth() +
                                                           x - previous.FrameLeft()];
          if (random.OneIn(8)) {
            if (random.OneIn(2)) own = appended;
            continue;
          }
          own = before;
          if (before < second.size() && random.OneIn(4)) {
            for (std::size_t i = 0; i < second.size(); ++i) {
              if (i != before && second[i] == second[before]) own = static_cast<std::uint8_t>(i);
            }
          }
        }
      }
      if (random.OneIn(3)) testing::MakeTransparent(frame, PickTransparent(random, frame));
      if (twin == &fast) {
        MergeWithPrevious(frame, &previous);
      } else {
        testing::plain::MergeWithPrevious(frame, &previous);
      }
    }
    EXPECT_TRUE(fast.Snapshot() == plain.Snapshot());
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, PixelLoops,
                         ::testing::Values(TShape{3, 3}, TShape{19, 5}, TShape{45, 9}, TShape{70, 40}));

// Pixels for the whole-frame helpers: noise over every index or over a few,
// runs of any length (whole words of one index, and runs that end anywhere
// in a word), or one index throughout.
enum class TRunKind { Noise, FewIndices, Runs, Flat };

struct TRunCase {
  const char* Name;
  TRunKind Kind;
};

void PrintTo(const TRunCase& c, std::ostream* os) { *os << c.Name; }

std::vector<std::uint8_t> RunPixels(TRandom& random, TRunKind kind, std::size_t size) {
  std::vector<std::uint8_t> pixels(size);
  const auto value = static_cast<std::uint8_t>(random.Below(256));
  for (std::size_t i = 0; i < size;) {
    switch (kind) {
      case TRunKind::Noise: pixels[i++] = static_cast<std::uint8_t>(random.Below(256)); break;
      case TRunKind::FewIndices: pixels[i++] = static_cast<std::uint8_t>(random.Below(3)); break;
      case TRunKind::Flat: pixels[i++] = value; break;
      case TRunKind::Runs: {
        const auto v = static_cast<std::uint8_t>(random.Below(256));
        for (int n = 1 + random.Below(random.OneIn(3) ? 80 : 12); n > 0 && i < size; --n) pixels[i++] = v;
        break;
      }
    }
  }
  return pixels;
}

class PixelRuns : public ::testing::TestWithParam<TRunCase> {};

// Sizes around the word and block lengths, in place and into another buffer.
TEST_P(PixelRuns, CountingAndTranslatingMatchAPlainLoop) {
  TRandom random(7);
  TColorTranslation table;
  for (std::uint8_t& entry : table) entry = static_cast<std::uint8_t>(random.Below(256));
  for (std::size_t size : {0, 1, 7, 8, 9, 15, 17, 1023, 1024, 1025, 1031, 4099, 64000}) {
    SCOPED_TRACE(size);
    const std::vector<std::uint8_t> pixels = RunPixels(random, GetParam().Kind, size);
    TIndexCounts counts{};
    counts[5] = 11;
    CountIndices(pixels.data(), pixels.size(), counts);
    TIndexCounts expected{};
    expected[5] = 11;
    for (std::uint8_t p : pixels) ++expected[p];
    EXPECT_EQ(counts, expected);

    std::vector<std::uint8_t> plain = pixels;
    for (std::uint8_t& p : plain) p = table[p];
    std::vector<std::uint8_t> inPlace = pixels;
    TranslatePixels(inPlace.data(), inPlace.size(), table);
    EXPECT_EQ(inPlace, plain);
    // One byte past the end shows a stray write.
    std::vector<std::uint8_t> copied(size + 1, 0xA5);
    TranslatePixels(pixels.data(), copied.data(), size, table);
    EXPECT_EQ(copied.back(), 0xA5);
    copied.pop_back();
    EXPECT_EQ(copied, plain);
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, PixelRuns,
                         ::testing::Values(TRunCase{"noise", TRunKind::Noise},
                                           TRunCase{"fewIndices", TRunKind::FewIndices},
                                           TRunCase{"runs", TRunKind::Runs}, TRunCase{"flat", TRunKind::Flat}),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace tovasel
