#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tovasel::testing {

// A PNG file as libspng decodes it: the header's fields and every pixel as
// red, green, blue bytes, top row first. Error is libspng's reason when the
// file does not decode, and empty otherwise.
struct TDecodedPng {
  std::string Error;
  std::uint32_t Width = 0;
  std::uint32_t Height = 0;
  int BitDepth = 0;
  int ColourType = 0;
  std::vector<std::uint8_t> Rgb;
};

// libspng, not our writer, is the judge of what a PNG shows.
TDecodedPng ReadPng(const std::filesystem::path& path);

}  // namespace tovasel::testing
