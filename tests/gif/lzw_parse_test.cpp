// The LZW parses against two decoders: giflib, and a small decoder written
// here from the format's rules (a string per code after each Clear, the code
// width growing when the next string's number needs it, a full table kept
// without Clear). Each row makes one kind of choice happen and checks that
// it did: a Clear before the table is full, a full table kept past code
// 4095, strings shorter than the longest match, a Clear or a width change
// at every code size's boundaries.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "gif/gif_stream_writer.h"
#include "gif/lzw_encoder.h"
#include "gif/lzw_parse.h"
#include "support/giflib_reader.h"

namespace tovasel {
namespace {

using Pixels = std::vector<std::uint8_t>;

// What the small decoder saw of a stream besides its pixels.
struct Decoded {
  bool ok = true;
  Pixels pixels;
  int earlyClears = 0;      // Clear codes while fewer than 4095 strings were given
  int codesPastFull = 0;    // codes read while the table was full
  int shorterStrings = 0;   // codes whose string the table could have extended
  std::uint64_t bits = 0;   // bits of every code read, the End code too
};

// Reads the image data bytes (code size, sub-blocks, terminator) as a
// decoder does; Expected, when given, lets it count the codes that stopped
// short of the longest string the table held.
Decoded DecodeData(const std::string& data, const Pixels* expected) {
  Decoded result;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
  const int minCodeSize = bytes[0];
  std::vector<std::uint8_t> stream;
  std::size_t at = 1;
  while (at < data.size() && bytes[at] != 0) {
    stream.insert(stream.end(), bytes + at + 1, bytes + at + 1 + bytes[at]);
    at += std::size_t{bytes[at]} + 1;
  }
  const int clear = 1 << minCodeSize;
  std::vector<Pixels> table;
  std::set<Pixels> strings;
  int width = 0;
  const auto reset = [&] {
    table.assign(static_cast<std::size_t>(clear) + 2, {});
    strings.clear();
    for (int i = 0; i < clear; ++i) {
      table[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i)};
      strings.insert(table[static_cast<std::size_t>(i)]);
    }
    width = minCodeSize + 1;
  };
  reset();
  std::size_t bit = 0;
  const Pixels* previous = nullptr;
  Pixels previousString;
  bool atStart = true;
  for (;;) {
    if (bit + static_cast<std::size_t>(width) > stream.size() * 8) {
      result.ok = false;
      return result;
    }
    int code = 0;
    for (int b = 0; b < width; ++b, ++bit) code |= ((stream[bit / 8] >> (bit % 8)) & 1) << b;
    if (code == clear) {
      if (!atStart && table.size() < 4095) ++result.earlyClears;
      reset();
      previous = nullptr;
      atStart = false;
      continue;
    }
    atStart = false;
    if (code == clear + 1) {
      result.bits = bit;
      break;
    }
    if (table.size() == 4096) ++result.codesPastFull;
    Pixels string;
    if (code < static_cast<int>(table.size()) && code != clear && code != clear + 1) {
      string = table[static_cast<std::size_t>(code)];
    } else if (code == static_cast<int>(table.size()) && previous != nullptr) {
      string = previousString;
      string.push_back(previousString.front());
    } else {
      result.ok = false;
      return result;
    }
    if (previous != nullptr && table.size() < 4096) {
      Pixels added = previousString;
      added.push_back(string.front());
      strings.insert(added);
      table.push_back(std::move(added));
    }
    result.pixels.insert(result.pixels.end(), string.begin(), string.end());
    if (expected != nullptr && result.pixels.size() < expected->size()) {
      Pixels longer = string;
      longer.push_back((*expected)[result.pixels.size()]);
      if (strings.count(longer) != 0) ++result.shorterStrings;
    }
    previousString = std::move(string);
    previous = &previousString;
    // The next code may be the string this one is about to give.
    if (static_cast<int>(table.size()) == (1 << width) && width < 12) ++width;
  }
  return result;
}

// The data as the only image of a GIF, decoded by giflib.
Pixels DecodeWithGiflib(const std::string& data, int width, int height) {
  std::ostringstream out(std::ios::binary);
  TGifStreamWriter writer(out);
  std::vector<TGIFColor> colours(256);
  TGifHead head;
  head.ScreenWidth = static_cast<std::uint16_t>(width);
  head.ScreenHeight = static_cast<std::uint16_t>(height);
  head.Packed = 0xF7;
  head.GlobalTable = colours;
  writer.WriteHead(head);
  writer.WriteImageHead({0, 0, static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), 0}, {});
  writer.WriteImageData(data);
  writer.Finish();
  const std::string bytes = out.str();
  const auto gif = testing::DecodeWithGiflib(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  if (gif.error != 0 || gif.frames.size() != 1) return {};
  return gif.frames[0].indices;
}

std::string Written(const TLzwCodes& codes) {
  std::ostringstream out(std::ios::binary);
  WriteLzwCodes(out, codes);
  return out.str();
}

Pixels Noise(std::size_t count, int colours, unsigned seed) {
  std::mt19937 random(seed);
  Pixels pixels(count);
  for (auto& p : pixels) p = static_cast<std::uint8_t>(random() % static_cast<unsigned>(colours));
  return pixels;
}

// A random stretch played over and over: a full table keeps paying.
Pixels Repeated(std::size_t count, std::size_t period, int colours, unsigned seed) {
  const Pixels cycle = Noise(period, colours, seed);
  Pixels pixels(count);
  for (std::size_t i = 0; i < count; ++i) pixels[i] = cycle[i % period];
  return pixels;
}

// A woven texture of sixteen colours, where the longest match is often
// not the best one.
Pixels Texture(int width, int height) {
  Pixels pixels(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      pixels[static_cast<std::size_t>(y) * width + x] =
          static_cast<std::uint8_t>(((x * 3 + y * 5) / 7 + (x * y) / 97 + (x ^ y) % 5) % 16);
    }
  }
  return pixels;
}

// Long runs of one colour, whose strings a decoder meets before it has
// them in its table, between stretches of noise that a fresh table
// serves best.
Pixels RunsAndNoise(std::size_t count, unsigned seed) {
  std::mt19937 random(seed);
  Pixels pixels;
  while (pixels.size() < count) {
    const auto colour = static_cast<std::uint8_t>(random() % 256);
    pixels.insert(pixels.end(), 200 + random() % 400, colour);
    for (int i = 0; i < 3000; ++i) pixels.push_back(static_cast<std::uint8_t>(random() % 256));
  }
  pixels.resize(count);
  return pixels;
}

enum class Parse { Plain, Clears, Strings };

// What a row expects the parse to have done.
enum class Choice { PlainBytes, EarlyClear, FullTableKept, ShorterStrings };

struct ParseCase {
  const char* name;
  int minCodeSize;
  int width;
  int height;
  std::function<Pixels()> pixels;
  Parse parse;
  Choice choice;
};

const ParseCase kCases[] = {
    {"PlainNoise", 8, 200, 150, [] { return Noise(30000, 256, 1); }, Parse::Plain, Choice::PlainBytes},
    {"PlainRuns", 3, 320, 200, [] { return Repeated(64000, 5000, 2, 2); }, Parse::Plain, Choice::PlainBytes},
    {"NoiseClearsEarly", 8, 200, 150, [] { return Noise(30000, 256, 3); }, Parse::Clears, Choice::EarlyClear},
    {"RepeatsKeepTheFullTable", 4, 400, 150, [] { return Repeated(60000, 1500, 16, 4); }, Parse::Clears,
     Choice::FullTableKept},
    {"TextureTakesShorterStrings", 4, 160, 60, [] { return Texture(160, 60); }, Parse::Strings,
     Choice::ShorterStrings},
    {"NoiseStringsAfterClears", 8, 200, 100, [] { return Noise(20000, 200, 6); }, Parse::Strings, Choice::EarlyClear},
    {"RunsBetweenClears", 8, 300, 100, [] { return RunsAndNoise(30000, 8); }, Parse::Strings, Choice::EarlyClear},
    {"RepeatsStringsPastFull", 4, 400, 150, [] { return Repeated(60000, 1500, 16, 7); }, Parse::Strings,
     Choice::FullTableKept},
};

class LzwParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(LzwParseTest, DecodersReadThePixelsBack) {
  const ParseCase& row = GetParam();
  const Pixels pixels = row.pixels();
  ASSERT_EQ(pixels.size(), static_cast<std::size_t>(row.width) * row.height);
  TLzwParser parser;
  TLzwCodes codes;
  TLzwCodes greedy;
  parser.Plain(pixels.data(), pixels.size(), row.minCodeSize, codes);
  if (row.parse != Parse::Plain) {
    parser.PlaceClears(pixels.data(), pixels.size(), row.minCodeSize, codes);
    greedy = codes;
  }
  if (row.parse == Parse::Strings) {
    static constexpr TLzwLookAhead kWindows[] = {{2, 16}, {2, 64}};
    parser.ChooseStrings(pixels.data(), pixels.size(), kWindows, codes);
  }
  const std::string data = Written(codes);
  EXPECT_EQ(data.size(), codes.DataSize());

  const Decoded decoded = DecodeData(data, &pixels);
  ASSERT_TRUE(decoded.ok);
  EXPECT_TRUE(decoded.pixels == pixels);
  EXPECT_EQ(decoded.bits, codes.Bits());
  EXPECT_TRUE(DecodeWithGiflib(data, row.width, row.height) == pixels);

  switch (row.choice) {
    case Choice::PlainBytes: {
      std::ostringstream plain(std::ios::binary);
      TLZWEncoder encoder;
      encoder.CompressImage(plain, row.minCodeSize, 256, pixels.data(), false, row.height, row.width);
      EXPECT_EQ(data, plain.str());
      EXPECT_EQ(decoded.shorterStrings, 0);
      break;
    }
    case Choice::EarlyClear: EXPECT_GT(decoded.earlyClears, 0); break;
    case Choice::FullTableKept: EXPECT_GT(decoded.codesPastFull, 0); break;
    case Choice::ShorterStrings: {
      EXPECT_GT(decoded.shorterStrings, 0);
      EXPECT_EQ(DecodeData(Written(greedy), &pixels).shorterStrings, 0);
      EXPECT_LT(codes.Bits(), greedy.Bits());
      break;
    }
  }
  // Placing Clear codes and choosing strings only ever shorten the stream.
  if (row.parse != Parse::Plain) {
    TLzwCodes plain;
    parser.Plain(pixels.data(), pixels.size(), row.minCodeSize, plain);
    EXPECT_LE(codes.Bits(), plain.Bits());
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, LzwParseTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Every code size, with noise that places Clear codes at each width's
// boundary and strings chosen after them: the width a decoder expects
// after every code, up to 12 bits.
class LzwCodeSizeTest : public ::testing::TestWithParam<int> {};

TEST_P(LzwCodeSizeTest, EveryWidthChangeDecodes) {
  const int minCodeSize = GetParam();
  TLzwParser parser;
  for (const int colours : {2, 1 << minCodeSize}) {
    for (const std::size_t count : {std::size_t{1}, std::size_t{7}, std::size_t{5000}, std::size_t{24000}}) {
      const Pixels pixels = Noise(count, colours, static_cast<unsigned>(count) + colours);
      TLzwCodes codes;
      parser.PlaceClears(pixels.data(), pixels.size(), minCodeSize, codes);
      static constexpr TLzwLookAhead kWindows[] = {{2, 16}};
      parser.ChooseStrings(pixels.data(), pixels.size(), kWindows, codes);
      const std::string data = Written(codes);
      const Decoded decoded = DecodeData(data, nullptr);
      ASSERT_TRUE(decoded.ok) << colours << " colours, " << count << " pixels";
      EXPECT_TRUE(decoded.pixels == pixels) << colours << " colours, " << count << " pixels";
      EXPECT_EQ(decoded.bits, codes.Bits()) << colours << " colours, " << count << " pixels";
      EXPECT_EQ(data.size(), codes.DataSize()) << colours << " colours, " << count << " pixels";
      EXPECT_TRUE(DecodeWithGiflib(data, static_cast<int>(count), 1) == pixels)
          << colours << " colours, " << count << " pixels";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(CodeSizes, LzwCodeSizeTest, ::testing::Range(2, 9));

// The size a parse reports is the size written, sub-block by sub-block: a
// sweep of lengths whose data crosses whole blocks of 255 bytes.
TEST(LzwCodesTest, DataSizeIsTheWrittenSize) {
  TLzwParser parser;
  const Pixels noise = Noise(600, 256, 9);
  int wholeBlocks = 0;
  for (std::size_t count = 200; count <= noise.size(); ++count) {
    TLzwCodes codes;
    parser.Plain(noise.data(), count, 8, codes);
    const std::string data = Written(codes);
    ASSERT_EQ(data.size(), codes.DataSize()) << count << " pixels";
    const std::size_t bytes = (codes.Bits() + 7) / 8;
    if (bytes % 255 == 0) ++wholeBlocks;
  }
  EXPECT_GT(wholeBlocks, 0);
}

}  // namespace
}  // namespace tovasel
