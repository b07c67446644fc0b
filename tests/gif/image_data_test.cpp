// Image data encoders checked by decoding with giflib, against a plain
// reference LZW encoder, and at the level of single codes.

#include <gtest/gtest.h>

#include <random>

#include "gif/gif_exception.h"
#include "gif/image_walk.h"
#include "gif/rle_encoder.h"
#include "gif_test_support.h"
#include "lzw_reference.h"

namespace tovasel {
namespace {

using testing::AddRawFrame;
using testing::Bytes;
using testing::DecodeWithGiflib;
using testing::ReferenceImageData;
using testing::SaveToBytes;

Bytes RandomPixels(std::size_t count, int colours, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> pick(0, colours - 1);
  Bytes pixels(count);
  for (auto& pixel : pixels) pixel = static_cast<std::uint8_t>(pick(random));
  return pixels;
}

// Runs of random length (1..maxRun) of random colours.
Bytes RunPixels(std::size_t count, int colours, int maxRun, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> pick(0, colours - 1);
  std::uniform_int_distribution<int> length(1, maxRun);
  Bytes pixels;
  while (pixels.size() < count) {
    const auto colour = static_cast<std::uint8_t>(pick(random));
    pixels.insert(pixels.end(), static_cast<std::size_t>(length(random)), colour);
  }
  pixels.resize(count);
  return pixels;
}

// The frame as it must come out of a decoder, given rows top to bottom.
void ExpectRoundTrip(const Bytes& pixels, int width, int height, int colours, bool interlaced,
                     std::uint8_t encoder) {
  TGIFImage document;
  document.SetEncoderKind(encoder);
  TGIFSubImage& frame = AddRawFrame(document, width, height, pixels, colours);
  frame.SetInterlaced(interlaced);
  const Bytes bytes = SaveToBytes(document);
  const auto decoded = DecodeWithGiflib(bytes);
  ASSERT_EQ(decoded.error, 0);
  ASSERT_EQ(decoded.frames.size(), 1u);
  EXPECT_EQ(decoded.frames[0].interlaced, interlaced);
  EXPECT_TRUE(decoded.frames[0].indices == pixels) << "decoded pixels differ";
}

struct RoundTripCase {
  const char* name;
  int colours;
  int width;
  int height;
  int maxRun;  // 0: independent random pixels
  bool interlaced;
  std::uint8_t encoder;
  friend void PrintTo(const RoundTripCase& row, std::ostream* os) { *os << row.name; }
};

class EncoderRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(EncoderRoundTrip, GiflibReadsBackTheSamePixels) {
  const RoundTripCase& row = GetParam();
  const std::size_t count = static_cast<std::size_t>(row.width) * row.height;
  const Bytes pixels = row.maxRun == 0 ? RandomPixels(count, row.colours, 7)
                                       : RunPixels(count, row.colours, row.maxRun, 7);
  ExpectRoundTrip(pixels, row.width, row.height, row.colours, row.interlaced, row.encoder);
}

std::vector<RoundTripCase> RoundTripCases() {
  std::vector<RoundTripCase> cases;
  static const char* const names[] = {"", "c2", "c4", "c8", "c16", "c32", "c64", "c128", "c256"};
  static const char* const shapes[] = {"noise", "runs", "longruns"};
  const int runs[] = {0, 6, 400};
  for (int bits = 1; bits <= 8; ++bits) {
    for (int shape = 0; shape < 3; ++shape) {
      for (const bool interlaced : {false, true}) {
        for (const std::uint8_t encoder : {ekLZW, ekRLE}) {
          static std::vector<std::string> storage;
          storage.push_back(std::string(names[bits]) + "_" + shapes[shape] +
                            (interlaced ? "_interlaced" : "_plain") +
                            (encoder == ekRLE ? "_rle" : "_lzw"));
          cases.push_back({storage.back().c_str(), 1 << bits, 97, 61, runs[shape], interlaced,
                           encoder});
        }
      }
    }
  }
  // Frames large enough to fill the code table many times over.
  cases.push_back({"noise_fills_table_lzw", 256, 320, 200, 0, false, ekLZW});
  cases.push_back({"noise_fills_table_rle", 256, 320, 200, 0, false, ekRLE});
  cases.push_back({"two_colour_noise_lzw", 2, 640, 400, 0, false, ekLZW});
  cases.push_back({"one_colour_huge_run_rle", 1, 1000, 1000, 1, false, ekRLE});
  cases.push_back({"one_colour_huge_run_lzw", 1, 1000, 1000, 1, false, ekLZW});
  cases.push_back({"medium_runs_rle", 16, 500, 300, 90, false, ekRLE});
  cases.push_back({"very_long_runs_rle", 4, 700, 700, 20000, true, ekRLE});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Frames, EncoderRoundTrip, ::testing::ValuesIn(RoundTripCases()),
                         [](const auto& info) { return std::string(info.param.name); });

struct InterlaceCase {
  int height;
  std::vector<int> rows;
  friend void PrintTo(const InterlaceCase& row, std::ostream* os) { *os << "height " << row.height; }
};

class InterlacedWalk : public ::testing::TestWithParam<InterlaceCase> {};

TEST_P(InterlacedWalk, EveryRowOnceInPassOrder) {
  EXPECT_EQ(InterlacedRowOrder(GetParam().height), GetParam().rows);
}

TEST_P(InterlacedWalk, BothEncodersRoundTrip) {
  const int height = GetParam().height;
  const Bytes pixels = RandomPixels(static_cast<std::size_t>(5 * height), 16, height);
  for (const std::uint8_t encoder : {ekLZW, ekRLE}) {
    SCOPED_TRACE(encoder == ekRLE ? "rle" : "lzw");
    ExpectRoundTrip(pixels, 5, height, 16, true, encoder);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Heights, InterlacedWalk,
    ::testing::Values(InterlaceCase{1, {0}}, InterlaceCase{2, {0, 1}}, InterlaceCase{3, {0, 2, 1}},
                      InterlaceCase{4, {0, 2, 1, 3}}, InterlaceCase{5, {0, 4, 2, 1, 3}},
                      InterlaceCase{6, {0, 4, 2, 1, 3, 5}},
                      InterlaceCase{7, {0, 4, 2, 6, 1, 3, 5}},
                      InterlaceCase{8, {0, 4, 2, 6, 1, 3, 5, 7}},
                      InterlaceCase{9, {0, 8, 4, 2, 6, 1, 3, 5, 7}}),
    [](const auto& info) { return "height" + std::to_string(info.param.height); });

// The image data of a one-frame document without extensions or global map.
Bytes ImageDataOf(const Bytes& file, int tableEntries) {
  const std::size_t start = 6 + 7 + 10 + static_cast<std::size_t>(tableEntries) * 3;
  return Bytes(file.begin() + static_cast<long>(start), file.end() - 1);
}

struct ReferenceCase {
  const char* name;
  int bits;
  int maxRun;
  int width;
  int height;
  friend void PrintTo(const ReferenceCase& row, std::ostream* os) { *os << row.name; }
};

class LzwMatchesReference : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(LzwMatchesReference, SameBytes) {
  const ReferenceCase& row = GetParam();
  const std::size_t count = static_cast<std::size_t>(row.width) * row.height;
  const Bytes pixels = row.maxRun == 0 ? RandomPixels(count, 1 << row.bits, 99)
                                       : RunPixels(count, 1 << row.bits, row.maxRun, 99);
  TGIFImage document;
  AddRawFrame(document, row.width, row.height, pixels, 1 << row.bits);
  EXPECT_TRUE(ImageDataOf(SaveToBytes(document), 1 << row.bits) ==
              ReferenceImageData(pixels, row.bits));
}

INSTANTIATE_TEST_SUITE_P(Data, LzwMatchesReference,
                         ::testing::Values(ReferenceCase{"bits1_noise", 1, 0, 300, 200},
                                           ReferenceCase{"bits2_runs", 2, 30, 300, 200},
                                           ReferenceCase{"bits4_noise", 4, 0, 300, 200},
                                           ReferenceCase{"bits8_noise", 8, 0, 320, 200},
                                           ReferenceCase{"bits8_runs", 8, 12, 320, 200},
                                           ReferenceCase{"bits8_single_pixel", 8, 0, 1, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// Reads the codes of one image data block as a decoder would, following the
// decoder's own code width rule.
struct CodeReading {
  std::vector<int> codes;
  std::vector<int> widths;
  std::vector<int> tableSizeAtClear;  // entries defined when a Clear arrives
};

CodeReading ReadCodes(const Bytes& imageData) {
  const int minCodeSize = imageData[0];
  Bytes data;
  for (std::size_t at = 1; imageData[at] != 0; at += imageData[at] + 1u) {
    data.insert(data.end(), imageData.begin() + static_cast<long>(at + 1),
                imageData.begin() + static_cast<long>(at + 1 + imageData[at]));
  }
  const int clear = 1 << minCodeSize;
  CodeReading reading;
  int width = minCodeSize + 1;
  int next = clear + 2;
  bool first = true;
  std::size_t bit = 0;
  while (bit + static_cast<std::size_t>(width) <= data.size() * 8) {
    int code = 0;
    for (int i = 0; i < width; ++i, ++bit) code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
    reading.codes.push_back(code);
    reading.widths.push_back(width);
    if (code == clear + 1) break;
    if (code == clear) {
      reading.tableSizeAtClear.push_back(next);
      width = minCodeSize + 1;
      next = clear + 2;
      first = true;
      continue;
    }
    if (!first && next < 4096) ++next;
    first = false;
    if (next == (1 << width) && width < 12) ++width;
  }
  return reading;
}

TEST(LzwCodes, TableRestartsWithClearAtWidth12AfterCode4094) {
  TGIFImage document;
  const Bytes pixels = RandomPixels(200000, 256, 3);
  AddRawFrame(document, 500, 400, pixels, 256);
  const CodeReading reading = ReadCodes(ImageDataOf(SaveToBytes(document), 256));
  ASSERT_GE(reading.tableSizeAtClear.size(), 3u);
  EXPECT_EQ(reading.codes.front(), 256);
  EXPECT_EQ(reading.codes.back(), 257);
  EXPECT_EQ(reading.tableSizeAtClear[0], 258);  // the opening Clear
  for (std::size_t i = 1; i < reading.tableSizeAtClear.size(); ++i) {
    // The decoder has defined codes up to 4094, so its next would be 4095.
    EXPECT_EQ(reading.tableSizeAtClear[i], 4095) << "Clear " << i;
  }
  for (std::size_t i = 1; i < reading.codes.size(); ++i) {
    if (reading.codes[i] == 256) {
      EXPECT_EQ(reading.widths[i], 12);
    }
    EXPECT_LE(reading.codes[i], 4094);
  }
}

TEST(LzwCodes, TwoColourFrameUsesMinimumCodeSize2) {
  TGIFImage document;
  const std::uint8_t pixels[] = {1, 1, 1, 1, 1, 1, 1, 1};
  AddRawFrame(document, 8, 1, pixels, 2);
  const Bytes data = ImageDataOf(SaveToBytes(document), 2);
  EXPECT_EQ(data[0], 2);
  const CodeReading reading = ReadCodes(data);
  // 1, 11, 111, then the rest "11": Clear 4, 1, 6, 7, 6, End 5.
  EXPECT_EQ(reading.codes, (std::vector<int>{4, 1, 6, 7, 6, 5}));
  EXPECT_EQ(reading.widths, (std::vector<int>{3, 3, 3, 3, 4, 4}));
}

TEST(LzwCodes, PixelPastTheColourTableIsRefusedBeforeTheFrameData) {
  for (const std::uint8_t encoder : {ekLZW, ekRLE}) {
    TGIFImage document;
    document.SetEncoderKind(encoder);
    const std::uint8_t pixels[] = {0, 1, 2, 3};
    AddRawFrame(document, 2, 2, pixels, 3);
    std::ostringstream out;
    try {
      document.SaveToStream(out);
      FAIL() << "no exception";
    } catch (const GIFException& error) {
      EXPECT_STREQ(error.what(), "Color not in color table");
    }
    // Header, screen, descriptor and the 4-entry table, nothing of the data.
    EXPECT_EQ(out.str().size(), 6u + 7 + 10 + 12);
  }
}

// The table check reads sixteen pixels at a time, then the rest one by one:
// a pixel past the table is found in either part, and the largest allowed
// index passes.
class PixelPastTheTable : public ::testing::TestWithParam<int> {};

TEST_P(PixelPastTheTable, IsFoundWhereverItStands) {
  std::vector<std::uint8_t> pixels(37 * 3, 4);
  pixels[static_cast<std::size_t>(GetParam())] = 5;
  TGIFImage document;
  AddRawFrame(document, 37, 3, pixels, 5);
  std::ostringstream out;
  EXPECT_THROW(document.SaveToStream(out), GIFException);
  pixels[static_cast<std::size_t>(GetParam())] = 4;
  TGIFImage allowed;
  AddRawFrame(allowed, 37, 3, pixels, 5);
  EXPECT_NO_THROW(allowed.SaveToStream(out));
}

INSTANTIATE_TEST_SUITE_P(Positions, PixelPastTheTable, ::testing::Values(0, 15, 16, 57, 95, 96, 110));

TEST(LzwCodes, FrameWithoutAnyColourMapTakesOnlyIndexZero) {
  TGIFImage document;
  const std::uint8_t zeros[] = {0, 0, 0, 0};
  AddRawFrame(document, 2, 2, zeros, 0);
  const Bytes bytes = SaveToBytes(document);
  EXPECT_EQ(bytes[6 + 7 + 10], 2);
  EXPECT_EQ(DecodeWithGiflib(bytes).error, 0) << "giflib has no colour map to refuse with";
}

TEST(RunLengthEncoder, LongRunsTakeFewCodes) {
  // A million equal pixels fit in about 1400 run codes; sending them one by
  // one would take a million.
  for (const int colours : {2, 256}) {
    TGIFImage document;
    document.SetEncoderKind(ekRLE);
    const Bytes pixels(1000 * 1000, 1);
    AddRawFrame(document, 1000, 1000, pixels, colours);
    const Bytes bytes = SaveToBytes(document);
    EXPECT_LT(bytes.size() - 3u * static_cast<unsigned>(colours), 2000u) << colours << " colours";
    EXPECT_TRUE(DecodeWithGiflib(bytes).frames.at(0).indices == pixels);
  }
}

struct CostCase {
  std::int64_t length;
  std::int64_t limit;
  std::int64_t cost;
  friend void PrintTo(const CostCase& row, std::ostream* os) { *os << row.length << " pixels, limit " << row.limit; }
};

class RunCost : public ::testing::TestWithParam<CostCase> {};

TEST_P(RunCost, SmallestTriangleCover) {
  EXPECT_EQ(TriangleCost(GetParam().length, GetParam().limit), GetParam().cost);
}

INSTANTIATE_TEST_SUITE_P(Lengths, RunCost,
                         ::testing::Values(CostCase{1, 100, 1}, CostCase{2, 100, 2},
                                           CostCase{3, 100, 2}, CostCase{4, 100, 3},
                                           CostCase{6, 100, 3}, CostCase{7, 100, 4},
                                           CostCase{5050, 100, 100}, CostCase{5051, 100, 101},
                                           CostCase{10100, 100, 200},
                                           CostCase{1000000000000, 3837, 521105578}));

}  // namespace
}  // namespace tovasel
