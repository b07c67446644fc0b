// The generated animations of the smallest-GIF size table: one of each kind
// of picture change the lossless encoder meets, written with the project's
// FLIC writer. The set is fixed (seeded generators, fixed sizes), so that
// sizes measured on different days compare file by file.
//
//   bench_optimize_set FOLDER

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "flicwriter/cartoon.h"
#include "flicwriter/flic_writer.h"

namespace {

namespace fs = std::filesystem;
namespace fw = tovasel::flicwriter;

using TFrames = std::vector<fw::TAnimationFrame>;

std::uint8_t Byte(double v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0)); }

fw::TColours RandomColours(std::mt19937& rng) {
  fw::TColours colours{};
  for (auto& c : colours) c = {static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng())};
  return colours;
}

// A smooth ramp of 256 colours turning around the hue circle from Phase.
fw::TColours RampColours(double phase) {
  fw::TColours colours{};
  for (int i = 0; i < 256; ++i) {
    const double a = phase + i * 6.2831853 / 256;
    colours[static_cast<std::size_t>(i)] = {Byte(128 + 127 * std::sin(a)), Byte(128 + 127 * std::sin(a + 2.094)),
                                            Byte(128 + 127 * std::sin(a + 4.189))};
  }
  return colours;
}

// A 16 x 16 sprite drawn at (Left, Top), clipped; index 0 of Shape is empty.
void DrawSprite(fw::TIndexedPicture& picture, const std::vector<std::uint8_t>& shape, int left, int top) {
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const std::uint8_t v = shape[static_cast<std::size_t>(y * 16 + x)];
      const int px = left + x, py = top + y;
      if (v != 0 && px >= 0 && py >= 0 && px < picture.Width && py < picture.Height) picture.At(px, py) = v;
    }
  }
}

std::vector<std::uint8_t> SpriteShape(int base) {
  std::vector<std::uint8_t> shape(256, 0);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const int dx = x - 8, dy = y - 8;
      if (dx * dx + dy * dy < 56) shape[static_cast<std::size_t>(y * 16 + x)] = static_cast<std::uint8_t>(base + (x / 3 + y / 4) % 5);
    }
  }
  return shape;
}

// Small sprites bouncing over one flat colour; one colour changes now and
// then.
TFrames SpritesFlat() {
  std::mt19937 rng(11);
  fw::TColours colours = RandomColours(rng);
  TFrames frames;
  for (int f = 0; f < 120; ++f) {
    fw::TAnimationFrame frame;
    frame.Picture = fw::TIndexedPicture(320, 200, 0);
    for (int s = 0; s < 5; ++s) {
      const int x = std::abs((f * (3 + s) + s * 61) % 600 - 300);
      const int y = std::abs((f * (2 + s) + s * 37) % 368 - 184);
      DrawSprite(frame.Picture, SpriteShape(10 + s * 6), x, y);
    }
    if (f % 40 == 39) colours[static_cast<std::size_t>(10 + rng() % 30)] = {static_cast<std::uint8_t>(rng()), 40, 200};
    frame.Colours = colours;
    frames.push_back(std::move(frame));
  }
  return frames;
}

// Larger sprites over a textured background of 64 colours.
TFrames SpritesTextured() {
  std::mt19937 rng(12);
  fw::TColours colours = RandomColours(rng);
  fw::TIndexedPicture background(320, 200);
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 320; ++x) {
      background.At(x, y) = static_cast<std::uint8_t>(100 + ((x * 3 + y * 5) / 7 + (x * y) / 97 + (x ^ y) % 5) % 64);
    }
  }
  TFrames frames;
  for (int f = 0; f < 100; ++f) {
    fw::TAnimationFrame frame;
    frame.Picture = background;
    for (int s = 0; s < 6; ++s) {
      const int x = (f * (4 + s) + s * 53) % 340 - 20;
      const int y = (f * (1 + s) + s * 31) % 220 - 20;
      for (int dy = 0; dy < 24; ++dy) {
        for (int dx = 0; dx < 24; ++dx) {
          const int px = x + dx, py = y + dy;
          if (px >= 0 && py >= 0 && px < 320 && py < 200 && (dx - 12) * (dx - 12) + (dy - 12) * (dy - 12) < 130) {
            frame.Picture.At(px, py) = static_cast<std::uint8_t>(10 + s * 8 + (dx + dy + f) % 8);
          }
        }
      }
    }
    frame.Colours = colours;
    frames.push_back(std::move(frame));
  }
  return frames;
}

// A landscape scrolling left two pixels a frame: every pixel changes.
TFrames ScrollHorizontal() {
  const int width = 320, height = 200, world = 1280;
  fw::TIndexedPicture land(world, height);
  std::mt19937 rng(13);
  for (int x = 0; x < world; ++x) {
    const int ground = 120 + static_cast<int>(30 * std::sin(x * 0.02) + 12 * std::sin(x * 0.093));
    for (int y = 0; y < height; ++y) {
      std::uint8_t v = static_cast<std::uint8_t>(y < ground ? 200 + y / 20 : 40 + (x / 8 + y / 6) % 12);
      if (y < ground && (x * 7 + y * 13) % 211 == 0) v = 250;
      land.At(x, y) = v;
    }
  }
  const fw::TColours colours = RandomColours(rng);
  TFrames frames;
  for (int f = 0; f < 80; ++f) {
    fw::TAnimationFrame frame;
    frame.Picture = fw::TIndexedPicture(width, height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) frame.Picture.At(x, y) = land.At((x + 2 * f) % world, y);
    }
    frame.Colours = colours;
    frames.push_back(std::move(frame));
  }
  return frames;
}

// Lines of blocky glyphs scrolling up one pixel a frame over a flat colour.
TFrames ScrollText() {
  const int width = 256, height = 160;
  std::mt19937 rng(14);
  fw::TIndexedPicture page(width, 480, 0);
  for (int line = 0; line < 40; ++line) {
    for (int g = 0; g < 40; ++g) {
      if (rng() % 7 == 0) continue;
      const unsigned bits = rng();
      for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 5; ++x) {
          if ((bits >> ((y * 5 + x) % 31)) & 1) page.At(4 + g * 6 + x, 2 + line * 12 + y) = 1;
        }
      }
    }
  }
  fw::TColours colours{};
  colours[0] = {16, 16, 48};
  colours[1] = {230, 230, 200};
  TFrames frames;
  for (int f = 0; f < 60; ++f) {
    fw::TAnimationFrame frame;
    frame.Picture = fw::TIndexedPicture(width, height);
    for (int y = 0; y < height; ++y) std::copy_n(page.Row(y + f), width, frame.Picture.Pixels.begin() + y * width);
    frame.Colours = colours;
    frames.push_back(std::move(frame));
  }
  return frames;
}

// A still picture whose 64 ring colours rotate through the palette.
TFrames PaletteCycle() {
  const int width = 256, height = 160;
  fw::TIndexedPicture picture(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const double r = std::hypot(x - 128.0, y - 80.0);
      picture.At(x, y) = static_cast<std::uint8_t>(r < 70 ? static_cast<int>(r * 2) % 64 : 64 + (x / 16 + y / 16) % 4);
    }
  }
  TFrames frames;
  for (int f = 0; f < 64; ++f) {
    fw::TAnimationFrame frame;
    frame.Picture = picture;
    for (int i = 0; i < 64; ++i) {
      const double a = (i + f) % 64 * 6.2831853 / 64;
      frame.Colours[static_cast<std::size_t>(i)] = {Byte(128 + 120 * std::sin(a)), Byte(128 + 120 * std::cos(a)), 90};
    }
    for (int i = 64; i < 68; ++i) frame.Colours[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i * 3), 30, 30};
    frames.push_back(std::move(frame));
  }
  return frames;
}

// A detailed still picture where a few lights blink and a counter turns.
TFrames SmallChanges() {
  std::mt19937 rng(16);
  fw::TIndexedPicture picture(320, 200);
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 320; ++x) picture.At(x, y) = static_cast<std::uint8_t>(((x / 4) * (y / 4) + x / 9) % 150);
  }
  std::vector<std::pair<int, int>> lights;
  for (int i = 0; i < 24; ++i) lights.emplace_back(static_cast<int>(rng() % 318), static_cast<int>(rng() % 198));
  const fw::TColours colours = RandomColours(rng);
  TFrames frames;
  for (int f = 0; f < 150; ++f) {
    fw::TAnimationFrame frame;
    frame.Picture = picture;
    for (std::size_t i = 0; i < lights.size(); ++i) {
      if ((f + static_cast<int>(i) * 3) % 7 < 3) {
        for (int d = 0; d < 4; ++d) frame.Picture.At(lights[i].first + d % 2, lights[i].second + d / 2) = 200;
      }
    }
    for (int y = 0; y < 9; ++y) {
      for (int x = 0; x < 24; ++x) {
        if (((f / 3 + x / 6) * 7 + y) % 3 == 0) frame.Picture.At(280 + x, 180 + y) = 210;
      }
    }
    frame.Colours = colours;
    frames.push_back(std::move(frame));
  }
  return frames;
}

// A plasma: a new picture over all 256 colours in every frame.
TFrames FullChanges() {
  const int width = 160, height = 120;
  TFrames frames;
  for (int f = 0; f < 60; ++f) {
    fw::TAnimationFrame frame;
    frame.Picture = fw::TIndexedPicture(width, height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const double v = std::sin(x * 0.06 + f * 0.2) + std::sin(y * 0.08 - f * 0.15) + std::sin((x + y) * 0.04 + f * 0.1) +
                         std::sin(std::hypot(x - 80.0, y - 60.0) * 0.09 - f * 0.25);
        frame.Picture.At(x, y) = static_cast<std::uint8_t>(static_cast<int>((v + 4) * 32) & 255);
      }
    }
    frame.Colours = RampColours(0);
    frames.push_back(std::move(frame));
  }
  return frames;
}

// Patches of noise at random places over a gradient.
TFrames NoisePatches() {
  std::mt19937 rng(18);
  fw::TIndexedPicture background(320, 200);
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 320; ++x) background.At(x, y) = static_cast<std::uint8_t>(x / 5);
  }
  fw::TColours colours = RampColours(1);
  TFrames frames;
  for (int f = 0; f < 60; ++f) {
    fw::TAnimationFrame frame;
    frame.Picture = background;
    for (int p = 0; p < 3; ++p) {
      const int w = 20 + static_cast<int>(rng() % 40), h = 10 + static_cast<int>(rng() % 30);
      const int left = static_cast<int>(rng() % (320 - w)), top = static_cast<int>(rng() % (200 - h));
      for (int y = top; y < top + h; ++y) {
        for (int x = left; x < left + w; ++x) frame.Picture.At(x, y) = static_cast<std::uint8_t>(64 + rng() % 128);
      }
    }
    frame.Colours = colours;
    frames.push_back(std::move(frame));
  }
  return frames;
}

// Every pixel of every frame random, over 256 colours.
TFrames NoiseFull() {
  std::mt19937 rng(19);
  const fw::TColours colours = RandomColours(rng);
  TFrames frames;
  for (int f = 0; f < 40; ++f) {
    fw::TAnimationFrame frame;
    frame.Picture = fw::TIndexedPicture(200, 150);
    for (auto& p : frame.Picture.Pixels) p = static_cast<std::uint8_t>(rng());
    frame.Colours = colours;
    frames.push_back(std::move(frame));
  }
  return frames;
}

// A ball bouncing over a checker board, at an odd size.
TFrames OddSize() {
  const int width = 97, height = 61;
  fw::TColours colours{};
  for (int i = 0; i < 16; ++i) colours[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i * 16), static_cast<std::uint8_t>(255 - i * 16), 77};
  TFrames frames;
  for (int f = 0; f < 90; ++f) {
    fw::TAnimationFrame frame;
    frame.Picture = fw::TIndexedPicture(width, height);
    const double bx = 10 + std::abs((f * 3) % 154 - 77), by = 8 + std::abs((f * 5) % 90 - 45);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const double d = std::hypot(x - bx, y - by);
        frame.Picture.At(x, y) = static_cast<std::uint8_t>(d < 8 ? 8 + static_cast<int>(d) % 8 : ((x / 6 + y / 6) % 2) * 3);
      }
    }
    frame.Colours = colours;
    frames.push_back(std::move(frame));
  }
  return frames;
}

// A thin news ticker: text moving left three pixels a frame.
TFrames OddTicker() {
  const int width = 333, height = 17;
  std::mt19937 rng(21);
  fw::TIndexedPicture strip(1000, height, 2);
  for (int g = 0; g < 160; ++g) {
    const unsigned bits = rng();
    for (int y = 0; y < 9; ++y) {
      for (int x = 0; x < 5; ++x) {
        if ((bits >> ((y * 5 + x) % 29)) & 1) strip.At(g * 6 + x + 10, 4 + y) = 5;
      }
    }
  }
  fw::TColours colours{};
  colours[2] = {0, 0, 90};
  colours[5] = {255, 220, 0};
  TFrames frames;
  for (int f = 0; f < 100; ++f) {
    fw::TAnimationFrame frame;
    frame.Picture = fw::TIndexedPicture(width, height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) frame.Picture.At(x, y) = strip.At((x + 3 * f) % 1000, y);
    }
    frame.Colours = colours;
    frames.push_back(std::move(frame));
  }
  return frames;
}

// A gradient picture with a moving bar whose 256-colour palette turns to
// another hue every eight frames: far more than 256 colours across frames.
TFrames ManyColours() {
  const int width = 200, height = 150;
  TFrames frames;
  for (int f = 0; f < 48; ++f) {
    fw::TAnimationFrame frame;
    frame.Picture = fw::TIndexedPicture(width, height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) frame.Picture.At(x, y) = static_cast<std::uint8_t>((x + y * 2) * 256 / (width + 2 * height));
    }
    for (int y = 0; y < height; ++y) {
      for (int x = (f * 4) % width; x < std::min(width, (f * 4) % width + 12); ++x) frame.Picture.At(x, y) = 255;
    }
    frame.Colours = RampColours((f / 8) * 0.7);
    frames.push_back(std::move(frame));
  }
  return frames;
}

// A picture fading to black and back: every colour changes in every frame.
TFrames Fade() {
  std::mt19937 rng(23);
  const fw::TColours base = RandomColours(rng);
  fw::TIndexedPicture picture(160, 100);
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 160; ++x) picture.At(x, y) = static_cast<std::uint8_t>((x / 10) * 10 + y / 10);
  }
  TFrames frames;
  for (int f = 0; f < 32; ++f) {
    const double level = std::abs(16 - f) / 16.0;
    fw::TAnimationFrame frame;
    frame.Picture = picture;
    for (int i = 0; i < 256; ++i) {
      const auto& c = base[static_cast<std::size_t>(i)];
      frame.Colours[static_cast<std::size_t>(i)] = {Byte(c.Red * level), Byte(c.Green * level), Byte(c.Blue * level)};
    }
    frames.push_back(std::move(frame));
  }
  return frames;
}

struct TKind {
  const char* Name;
  std::function<TFrames()> Make;
  std::uint32_t Speed;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::printf("usage: bench_optimize_set FOLDER\nWrites the generated animations of the smallest-GIF size table into FOLDER.\n");
    return 0;
  }
  if (argc != 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: bench_optimize_set FOLDER\n");
    return 2;
  }
  const fs::path folder = argv[1];
  fs::create_directories(folder);
  const TKind kinds[] = {
      {"sprites_flat", SpritesFlat, 5},     {"sprites_textured", SpritesTextured, 70},
      {"scroll_horizontal", ScrollHorizontal, 70}, {"scroll_text", ScrollText, 70},
      {"palette_cycle", PaletteCycle, 70},  {"small_changes", SmallChanges, 70},
      {"full_changes", FullChanges, 70},    {"noise_patches", NoisePatches, 70},
      {"noise_full", NoiseFull, 70},        {"odd_size", OddSize, 70},
      {"odd_ticker", OddTicker, 70},        {"many_colours", ManyColours, 70},
      {"fade", Fade, 70},                   {"cartoon", [] { return fw::Cartoon(96); }, 70},
  };
  for (const TKind& kind : kinds) {
    fw::TAnimationOptions options;
    options.Speed = kind.Speed;
    const fs::path path = folder / (std::string("gen_") + kind.Name + ".flc");
    fw::WriteFile(path, fw::Serialize(fw::BuildAnimation(kind.Make(), options)));
  }
  return 0;
}
