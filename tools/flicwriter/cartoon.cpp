#include "flicwriter/cartoon.h"

#include <random>

namespace tovasel::flicwriter {

std::vector<TAnimationFrame> Cartoon(int frames) {
  std::mt19937 rng(7);
  TColours colours{};
  for (auto& c : colours) c = {static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng())};
  TIndexedPicture background(320, 200);
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 320; ++x) background.At(x, y) = static_cast<std::uint8_t>((x / 20 + y / 25) % 24);
  }
  std::vector<TAnimationFrame> animation;
  for (int f = 0; f < frames; ++f) {
    TAnimationFrame frame;
    frame.Picture = background;
    for (int b = 0; b < 6; ++b) {
      const int left = (f * (3 + b) + b * 50) % 280;
      const int top = (f * (2 + b) + b * 30) % 170;
      for (int y = top; y < top + 30; ++y) {
        for (int x = left; x < left + 40; ++x) frame.Picture.At(x, y) = static_cast<std::uint8_t>(30 + b * 10 + (x + y) % 7);
      }
    }
    if (f % 50 == 49) colours[static_cast<std::size_t>(rng() % 24)] = {static_cast<std::uint8_t>(rng()), 0, 128};
    frame.Colours = colours;
    animation.push_back(std::move(frame));
  }
  return animation;
}

}  // namespace tovasel::flicwriter
