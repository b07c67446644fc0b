// The smallest-GIF encoder's output sizes, pinned byte for byte on small
// generated animations of several kinds. Smallness is what the encoder is
// for: a change that costs bytes fails here, and one that saves bytes
// updates the pin on purpose. Each output is also decoded by giflib, which
// must show exactly the pictures given.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "colour/lossless_gif.h"
#include "support/giflib_reader.h"

namespace tovasel {
namespace {

using Picture = std::vector<std::int32_t>;

struct Animation {
  int width = 0;
  int height = 0;
  std::vector<Picture> pictures;
  std::vector<std::uint16_t> delays;
};

std::int32_t Rgb(unsigned r, unsigned g, unsigned b) { return static_cast<std::int32_t>((r << 16) | (g << 8) | b); }

// Round sprites of five colours each moving over one flat colour.
Animation Sprites() {
  Animation a{64, 48, {}, {}};
  for (int f = 0; f < 10; ++f) {
    Picture p(64 * 48, Rgb(10, 20, 30));
    for (int s = 0; s < 3; ++s) {
      const int cx = (f * (3 + s) + s * 19) % 64, cy = (f * (2 + s) + s * 11) % 48;
      for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
          if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < 30) p[static_cast<std::size_t>(y) * 64 + x] = Rgb(200, 40 * s, (x + y) % 5 * 40);
        }
      }
    }
    a.pictures.push_back(std::move(p));
    a.delays.push_back(static_cast<std::uint16_t>(f % 3 == 0 ? 0 : 7));
  }
  return a;
}

// A block sliding over a woven texture of sixteen colours.
Animation Texture() {
  Animation a{80, 40, {}, {}};
  for (int f = 0; f < 8; ++f) {
    Picture p(80 * 40);
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 80; ++x) {
        const int v = ((x * 3 + y * 5) / 7 + (x * y) / 97 + (x ^ y) % 5) % 16;
        p[static_cast<std::size_t>(y) * 80 + x] = Rgb(static_cast<unsigned>(v * 16), 100, static_cast<unsigned>(255 - v * 9));
      }
    }
    for (int y = 10; y < 26; ++y) {
      for (int x = f * 7; x < f * 7 + 12; ++x) p[static_cast<std::size_t>(y) * 80 + x] = Rgb(0, 0, static_cast<unsigned>(x % 3 * 90));
    }
    a.pictures.push_back(std::move(p));
    a.delays.push_back(5);
  }
  return a;
}

// A new picture of random colours from 256 in every frame.
Animation Noise() {
  Animation a{60, 40, {}, {}};
  std::mt19937 random(3);
  for (int f = 0; f < 3; ++f) {
    Picture p(60 * 40);
    for (auto& c : p) c = Rgb(random() % 256, 7, 9);
    a.pictures.push_back(std::move(p));
    a.delays.push_back(10);
  }
  return a;
}

// The same pattern repeated over a large picture, then stripes of it move.
Animation Repeats() {
  Animation a{256, 160, {}, {}};
  std::mt19937 random(4);
  std::vector<std::int32_t> cycle(700);
  for (auto& c : cycle) c = Rgb(random() % 8 * 30, 50, 50);
  for (int f = 0; f < 3; ++f) {
    Picture p(256 * 160);
    for (std::size_t i = 0; i < p.size(); ++i) p[i] = cycle[(i + static_cast<std::size_t>(f) * (i / 256 % 4)) % cycle.size()];
    a.pictures.push_back(std::move(p));
    a.delays.push_back(4);
  }
  return a;
}

// Colours that all turn in every frame, more than one table holds across
// the animation.
Animation ManyColours() {
  Animation a{48, 32, {}, {}};
  for (int f = 0; f < 4; ++f) {
    Picture p(48 * 32);
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 48; ++x) p[static_cast<std::size_t>(y) * 48 + x] = Rgb(static_cast<unsigned>((x + y * 3) % 100), static_cast<unsigned>(f * 60), 33);
    }
    a.pictures.push_back(std::move(p));
    a.delays.push_back(3);
  }
  return a;
}

// Pixels that nothing paints, then paint, then clear again, beside a bar
// that stays.
Animation Clearing() {
  Animation a{24, 16, {}, {}};
  for (int f = 0; f < 7; ++f) {
    Picture p(24 * 16, kClearPixel);
    for (int y = 0; y < 16; ++y) p[static_cast<std::size_t>(y) * 24] = Rgb(0, 0, 200);
    for (int y = 2; y < 14 && f > 0; ++y) {
      for (int x = 1 + f * 2; x < 10 + f * 2; ++x) p[static_cast<std::size_t>(y) * 24 + x] = Rgb(90, static_cast<unsigned>(x * 10), 0);
    }
    a.pictures.push_back(std::move(p));
    a.delays.push_back(f == 2 ? 1 : 6);
  }
  return a;
}

// 256 colours, then 256 others around a row that stays: with the row
// transparent a local table would need 257 entries.
Animation FullTable() {
  Animation a{32, 9, {}, {}};
  const auto other = [](unsigned i) { return Rgb(i, 255 - i, 200); };
  Picture first(32 * 9, other(0));
  Picture second(32 * 9, other(0));
  unsigned k = 0;
  for (int y = 0; y < 9; ++y) {
    if (y == 4) continue;
    for (int x = 0; x < 32; ++x, ++k) {
      if (k < 255) first[static_cast<std::size_t>(y) * 32 + x] = Rgb(k, 7, 7);
      second[static_cast<std::size_t>(y) * 32 + x] = other(k);
    }
  }
  a.pictures = {first, second};
  a.delays = {8, 8};
  return a;
}

// A large block of three colours that moves, and a small patch bringing new
// colours in every frame: more than 256 across the animation, so that the
// order of the global table decides which frames need a local one.
Animation Layers() {
  Animation a{64, 64, {}, {}};
  for (int f = 0; f < 12; ++f) {
    Picture p(64 * 64);
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 64; ++x) p[static_cast<std::size_t>(y) * 64 + x] = Rgb(static_cast<unsigned>(x / 8 * 30), static_cast<unsigned>(y / 8 * 30), 77);
    }
    for (int y = 10; y < 40; ++y) {
      for (int x = f * 2; x < f * 2 + 30; ++x) p[static_cast<std::size_t>(y) * 64 + x] = Rgb(static_cast<unsigned>((x + y) % 3 * 100), 1, 1);
    }
    for (int y = 50; y < 54; ++y) {
      for (int x = 50; x < 54; ++x) p[static_cast<std::size_t>(y) * 64 + x] = Rgb(9, static_cast<unsigned>(f * 16 + y - 50), static_cast<unsigned>(x * 4));
    }
    a.pictures.push_back(std::move(p));
    a.delays.push_back(9);
  }
  return a;
}

// Blocks of random size and place, each of up to 120 colours of its own:
// the estimate of which frames need local tables picks the global order.
Animation Palettes() {
  Animation a{40, 30, {}, {}};
  std::mt19937 random(1);
  Picture p(40 * 30, Rgb(16, 16, 16));
  for (int f = 0; f < 8; ++f) {
    const unsigned colours = 2 + random() % 120;
    const int w = 4 + static_cast<int>(random() % 36), h = 2 + static_cast<int>(random() % 28);
    const int left = static_cast<int>(random() % static_cast<unsigned>(40 - w + 1));
    const int top = static_cast<int>(random() % static_cast<unsigned>(30 - h + 1));
    const unsigned base = random();
    for (int y = top; y < top + h; ++y) {
      for (int x = left; x < left + w; ++x) {
        p[static_cast<std::size_t>(y) * 40 + x] = static_cast<std::int32_t>((base + (random() % colours) * 2654435761u) & 0xFFFFFF);
      }
    }
    a.pictures.push_back(p);
    a.delays.push_back(5);
  }
  return a;
}

std::string Encode(const Animation& a, int level) {
  TLosslessSource source;
  source.Width = a.width;
  source.Height = a.height;
  source.Count = static_cast<std::int64_t>(a.pictures.size());
  source.Picture = [&a](std::int64_t i, std::uint16_t& delay) {
    delay = a.delays[static_cast<std::size_t>(i)];
    return a.pictures[static_cast<std::size_t>(i)].data();
  };
  std::ostringstream out(std::ios::binary);
  EncodeLosslessGif(source, level, out);
  return out.str();
}

// The packed byte of every image descriptor, found by walking the blocks.
std::vector<std::uint8_t> DescriptorFlags(const std::string& gif) {
  const auto* d = reinterpret_cast<const std::uint8_t*>(gif.data());
  const auto table = [](std::uint8_t flags) { return (flags & 0x80) != 0 ? 3 * (std::size_t{2} << (flags & 7)) : 0; };
  const auto subBlocks = [&](std::size_t at) {
    while (at < gif.size() && d[at] != 0) at += std::size_t{d[at]} + 1;
    return at + 1;
  };
  std::vector<std::uint8_t> flags;
  std::size_t at = 13 + table(d[10]);
  while (at < gif.size() && d[at] != 0x3B) {
    if (d[at] == 0x21) {
      at = subBlocks(at + 2);
    } else {
      flags.push_back(d[at + 9]);
      at = subBlocks(at + 10 + table(d[at + 9]) + 1);
    }
  }
  return flags;
}

struct SizeCase {
  const char* name;
  std::function<Animation()> make;
  std::size_t levelOne;
  std::size_t levelTwo;
};

const SizeCase kSizes[] = {
    {"Sprites", Sprites, 1867, 1858},    {"Texture", Texture, 2728, 2706},         {"Noise", Noise, 9012, 9012},
    {"Repeats", Repeats, 29601, 23086},  {"ManyColours", ManyColours, 4037, 3929}, {"Clearing", Clearing, 466, 466},
    {"FullTable", FullTable, 2214, 2214}, {"Layers", Layers, 4219, 4060},
    {"Palettes", Palettes, 5443, 5442},
};

class LosslessSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(LosslessSizeTest, WritesThePinnedBytesAndShowsEveryPicture) {
  const SizeCase& row = GetParam();
  const Animation animation = row.make();
  const std::string one = Encode(animation, 1);
  const std::string two = Encode(animation, 2);
  EXPECT_EQ(one.size(), row.levelOne);
  EXPECT_EQ(two.size(), row.levelTwo);
  EXPECT_LE(two.size(), one.size());
  for (const std::string* bytes : {&one, &two}) {
    const auto gif = testing::DecodeWithGiflib(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()));
    ASSERT_EQ(gif.error, 0);
    // Each picture is a frame of its own or joins the one before.
    std::size_t frame = 0;
    for (std::size_t i = 0; i < animation.pictures.size(); ++i) {
      if (i > 0 && animation.pictures[i] == animation.pictures[i - 1] && animation.delays[i] >= 2 &&
          animation.delays[i - 1] >= 2) {
        continue;
      }
      ASSERT_LT(frame, gif.frames.size());
      EXPECT_TRUE(gif.frames[frame].canvas == animation.pictures[i]) << "picture " << i;
      ++frame;
    }
    EXPECT_EQ(frame, gif.frames.size());
    // Without a local table its size field stays 0; the sort flag and the
    // reserved bits are never set.
    for (const std::uint8_t flags : DescriptorFlags(*bytes)) {
      EXPECT_EQ(flags & 0x38, 0);
      if ((flags & 0x80) == 0) {
        EXPECT_EQ(flags & 0x07, 0);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Animations, LosslessSizeTest, ::testing::ValuesIn(kSizes),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovasel
