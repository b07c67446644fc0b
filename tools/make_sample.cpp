// Writes the shipped sample animation: 160 x 100, 12 frames and a ring
// frame, a ball crossing a striped sky whose colours shift from frame to
// frame. It uses BYTE_RUN, DELTA_FLC, FLI_COPY, BLACK, COLOR_256 and a
// postage-stamp chunk, so `tovasel-cli info` and `frames` show a bit of
// everything on it.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>

#include "flicwriter/flic_writer.h"

using namespace tovasel::flicwriter;

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 100;
constexpr int kFrames = 12;

TColours SampleColours(int frame) {
  TColours c{};
  // Entries 0..63: sky bands, rotated by frame so the palette itself moves.
  for (int i = 0; i < 64; ++i) {
    // A triangle wave, so the shifted bands stay smooth where they wrap.
    const int k = (i + frame * 4) % 128;
    const int j = k < 64 ? k : 127 - k;
    c[i] = TRgb{static_cast<std::uint8_t>(20 + j), static_cast<std::uint8_t>(60 + j * 2),
                static_cast<std::uint8_t>(140 + j)};
  }
  for (int i = 0; i < 32; ++i)  // 64..95 ground greens
    c[64 + i] = TRgb{static_cast<std::uint8_t>(30 + i), static_cast<std::uint8_t>(110 + i * 3), 40};
  c[200] = TRgb{230, 40, 30};   // ball
  c[201] = TRgb{255, 220, 210}; // ball highlight
  c[255] = TRgb{255, 255, 255};
  return c;
}

TIndexedPicture SamplePicture(int frame) {
  TIndexedPicture p(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      p.At(x, y) = y < 70 ? static_cast<std::uint8_t>((y / 4 + x / 40) % 64)
                          : static_cast<std::uint8_t>(64 + ((x / 8 + y) % 32));
  const double t = frame / static_cast<double>(kFrames);
  const int cx = 15 + static_cast<int>(t * 130);
  const int cy = 60 - static_cast<int>(45 * std::sin(t * 3.14159265));
  for (int y = cy - 10; y <= cy + 10; ++y)
    for (int x = cx - 10; x <= cx + 10; ++x) {
      if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) continue;
      const int dx = x - cx, dy = y - cy;
      if (dx * dx + dy * dy <= 100) p.At(x, y) = (dx + 3) * (dx + 3) + (dy + 3) * (dy + 3) < 10 ? 201 : 200;
    }
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  const char* usage = "usage: tovasel-make-sample OUTPUT.flc\n";
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::printf("%sWrites the sample animation (160 x 100, 12 frames) to OUTPUT.flc.\n", usage);
    return 0;
  }
  if (argc != 2) {
    std::fputs(usage, stderr);
    return 2;
  }
  // A mistyped option must not become a file of that name.
  if (argv[1][0] == '-') {
    std::fprintf(stderr, "tovasel-make-sample: %s is not an output name: names that start with - are options\n%s",
                 argv[1], usage);
    return 2;
  }
  try {
    std::vector<TAnimationFrame> frames;
    for (int f = 0; f < kFrames; ++f) {
      TAnimationFrame frame{SamplePicture(f), SampleColours(f), TEncoding::enDelta};
      if (f == 5) frame.Encoding = TEncoding::enCopy;
      if (f == 8) frame.Encoding = TEncoding::enBlackThenDelta;
      frames.push_back(std::move(frame));
    }
    TAnimationOptions options;
    options.Speed = 80;
    TFlicLayout layout = BuildAnimation(frames, options);
    // A postage stamp, as paint programs write one into frame 1; players skip it.
    layout.Frames[0].Chunks.push_back(TChunk{kPostageStamp, std::vector<std::uint8_t>(10, 0), std::nullopt});
    WriteFile(argv[1], Serialize(layout));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tovasel-make-sample: %s\n", e.what());
    return 1;
  }
  return 0;
}
