// Each chunk decoder on hand-made payloads: the format's worked examples, and
// payloads that aim outside the picture or end early.
#include <string>
#include <vector>

#include "flic/chunk_decoders.h"
#include "flic_test_support.h"

namespace tovasel::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

// --- Colour chunks ---------------------------------------------------------

struct TColourCase {
  std::string Name;
  bool Colour64;
  Bytes Payload;
  std::vector<std::pair<int, TPaletteEntry>> Expect;  // entries that must read so
  std::vector<int> Untouched;                         // entries that keep their old value
  bool Complete;
};

void PrintTo(const TColourCase& c, std::ostream* os) { *os << c.Name; }

class ColourChunk : public ::testing::TestWithParam<TColourCase> {};

TEST_P(ColourChunk, SetsExactlyTheNamedEntries) {
  const TColourCase& c = GetParam();
  TPalette palette;
  for (int i = 0; i < 256; ++i) palette.Entry(i) = TPaletteEntry{1, 2, 3, 0};
  const bool complete = c.Colour64 ? DecodeColor64(c.Payload, palette) : DecodeColor256(c.Payload, palette);
  EXPECT_EQ(complete, c.Complete);
  for (const auto& [index, entry] : c.Expect) EXPECT_EQ(palette.Entry(index), entry) << "entry " << index;
  for (int index : c.Untouched) EXPECT_EQ(palette.Entry(index), (TPaletteEntry{1, 2, 3, 0})) << "entry " << index;
}

Bytes AllEntries() {
  Bytes b{1, 0, 0, 0};
  for (int i = 0; i < 256; ++i) b.insert(b.end(), {static_cast<std::uint8_t>(i), 7, static_cast<std::uint8_t>(255 - i)});
  return b;
}

INSTANTIATE_TEST_SUITE_P(
    Decoders, ColourChunk,
    ::testing::Values(
        TColourCase{"CountZeroMeans256", false, AllEntries(),
                    {{0, {0, 7, 255, 0}}, {128, {128, 7, 127, 0}}, {255, {255, 7, 0, 0}}}, {}, true},
        TColourCase{"SixBitComponentsScaleByFour", true, Bytes{1, 0, 0, 1, 63, 32, 0},
                    {{0, {252, 128, 0, 0}}}, {1}, true},
        TColourCase{"IndexRunsOnAcrossPackets", false,
                    Bytes{2, 0, 10, 2, 1, 1, 1, 2, 2, 2, 5, 1, 9, 9, 9},
                    {{10, {1, 1, 1, 0}}, {11, {2, 2, 2, 0}}, {17, {9, 9, 9, 0}}}, {9, 12, 16, 18}, true},
        TColourCase{"PacketCountZeroChangesNothing", false, Bytes{0, 0}, {}, {0, 255}, true},
        TColourCase{"EntriesPastTheLastAreDropped", false,
                    Bytes{1, 0, 254, 3, 4, 4, 4, 5, 5, 5, 6, 6, 6},
                    {{254, {4, 4, 4, 0}}, {255, {5, 5, 5, 0}}}, {0}, true},
        TColourCase{"PayloadEndingInsideAPacket", false, Bytes{1, 0, 0, 2, 8, 8, 8, 9},
                    {{0, {8, 8, 8, 0}}}, {1}, false},
        TColourCase{"MissingPacketCount", false, Bytes{1}, {}, {0}, false}),
    [](const auto& info) { return info.param.Name; });

// --- Picture chunks ----------------------------------------------------------

enum class TDecoder { ByteRun, Copy, DeltaFli, DeltaFlc };

struct TPictureCase {
  std::string Name;
  TDecoder Decoder;
  int Width;
  int Height;
  Bytes Payload;
  // Expected picture rows, top first, as strings of hex digits per pixel
  // ('.' = unchanged from the starting fill of 0xE).
  std::vector<std::string> Rows;
  bool Complete;
};

void PrintTo(const TPictureCase& c, std::ostream* os) { *os << c.Name; }

class PictureChunk : public ::testing::TestWithParam<TPictureCase> {};

TEST_P(PictureChunk, WritesTheExpectedPixelsAndNothingElse) {
  const TPictureCase& c = GetParam();
  TFlicSurface surface(c.Width, c.Height);
  // Fill everything, padding included, to see stray writes.
  for (int r = 0; r < c.Height; ++r) std::fill_n(surface.Bits(r), surface.Stride(), std::uint8_t{0xE});
  bool complete = false;
  switch (c.Decoder) {
    case TDecoder::ByteRun: complete = DecodeByteRun(c.Payload, surface); break;
    case TDecoder::Copy: complete = DecodeCopy(c.Payload, surface); break;
    case TDecoder::DeltaFli: complete = DecodeDeltaFli(c.Payload, surface); break;
    case TDecoder::DeltaFlc: complete = DecodeDeltaFlc(c.Payload, surface); break;
  }
  EXPECT_EQ(complete, c.Complete);
  for (int y = 0; y < c.Height; ++y) {
    std::string row;
    for (int x = 0; x < c.Width; ++x) {
      const std::uint8_t v = surface.PictureRow(y)[x];
      row += v == 0xE ? '.' : "0123456789ABCDEF"[v & 0xF];
    }
    EXPECT_EQ(row, c.Rows[y]) << "picture row " << y;
    for (std::size_t x = c.Width; x < surface.Stride(); ++x)
      EXPECT_EQ(surface.PictureRow(y)[x], 0xE) << "padding of row " << y << " written";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Decoders, PictureChunk,
    ::testing::Values(
        TPictureCase{"ByteRunRepeat", TDecoder::ByteRun, 3, 1, Bytes{9, 0x03, 0x07}, {"777"}, true},
        TPictureCase{"ByteRunLiteral", TDecoder::ByteRun, 3, 1, Bytes{9, 0xFE, 1, 2, 0x01, 5}, {"125"}, true},
        TPictureCase{"ByteRunZeroCountIsSkipped", TDecoder::ByteRun, 2, 1, Bytes{0, 0, 0, 0x02, 4}, {"44"}, true},
        TPictureCase{"ByteRunCrossingTheWidthIsClipped", TDecoder::ByteRun, 3, 2,
                     Bytes{0, 0x05, 1, 0, 0xFD, 2, 3, 4}, {"111", "234"}, true},
        TPictureCase{"ByteRunLiteralOf128", TDecoder::ByteRun, 5, 1,
                     [] { Bytes b{0, 0x80}; for (int i = 0; i < 128; ++i) b.push_back(static_cast<std::uint8_t>(i % 10)); return b; }(),
                     {"01234"}, true},
        TPictureCase{"ByteRunEndingEarly", TDecoder::ByteRun, 3, 2, Bytes{0, 0x02, 6}, {"66.", "..."}, false},
        TPictureCase{"CopyWholePicture", TDecoder::Copy, 3, 2, Bytes{1, 2, 3, 4, 5, 6}, {"123", "456"}, true},
        TPictureCase{"CopyEndingEarly", TDecoder::Copy, 3, 2, Bytes{1, 2, 3, 4}, {"123", "4.."}, false},
        TPictureCase{"FliFirstLineThreeOneLine", TDecoder::DeltaFli, 4, 5,
                     Bytes{3, 0, 1, 0, 1, 1, 2, 7, 8}, {"....", "....", "....", ".78.", "...."}, true},
        TPictureCase{"FliRepeatRunAndLinesWithoutPackets", TDecoder::DeltaFli, 4, 3,
                     Bytes{0, 0, 3, 0, 0, 0, 1, 0, 0xFE, 9}, {"....", "....", "99.."}, true},
        TPictureCase{"FliRunsClippedAtTheRowEnd", TDecoder::DeltaFli, 4, 1,
                     Bytes{0, 0, 1, 0, 1, 2, 0x80, 5}, {"..55"}, true},
        TPictureCase{"FliLinesBelowThePictureAreDropped", TDecoder::DeltaFli, 2, 2,
                     Bytes{1, 0, 3, 0, 1, 0, 0xFE, 3, 1, 0, 0xFE, 4, 1, 0, 0xFE, 5}, {"..", "33"}, true},
        TPictureCase{"FliSkipFarOutside", TDecoder::DeltaFli, 2, 1,
                     Bytes{0, 0, 1, 0, 2, 255, 0x7F, 1, 0x81, 2}, {".."}, false},
        TPictureCase{"FlcLineSkipAndWordRun", TDecoder::DeltaFlc, 8, 4,
                     Bytes{1, 0, 0xFE, 0xFF, 1, 0, 4, 0xFE, 0x0A, 0x0B},
                     {"........", "........", "....ABAB", "........"}, true},
        TPictureCase{"FlcLastByteAfterTheLastPacket", TDecoder::DeltaFlc, 5, 1,
                     Bytes{1, 0, 0x05, 0x80, 1, 0, 0, 2, 1, 2, 3, 4}, {"12345"}, true},
        TPictureCase{"FlcLastByteValueCarriesButNotItsFlag", TDecoder::DeltaFlc, 3, 2,
                     Bytes{2, 0, 0x06, 0x80, 1, 0, 0, 1, 1, 2, 1, 0, 0, 1, 3, 4}, {"126", "34."}, true},
        TPictureCase{"FlcWordLiteralsClippedAtTheRowEnd", TDecoder::DeltaFlc, 3, 1,
                     Bytes{1, 0, 1, 0, 0, 2, 1, 2, 3, 4}, {"123"}, true},
        TPictureCase{"FlcSkipPastTheLastRow", TDecoder::DeltaFlc, 2, 2,
                     Bytes{1, 0, 0x00, 0xA0, 1, 0, 0, 0xFF, 5, 5}, {"..", ".."}, true},
        TPictureCase{"FlcWordRunOnARowBelowThePicture", TDecoder::DeltaFlc, 2, 2,
                     Bytes{1, 0, 0xFD, 0xFF, 1, 0, 0, 0xFE, 5, 6}, {"..", ".."}, true},
        TPictureCase{"FlcWordRunStartingPastTheRowEnd", TDecoder::DeltaFlc, 2, 1,
                     Bytes{1, 0, 1, 0, 200, 0xFE, 5, 6}, {".."}, true},
        TPictureCase{"FlcCountWithBitThirteenKeepsReading", TDecoder::DeltaFlc, 4, 1,
                     Bytes{1, 0, 0x01, 0x20, 1, 0, 0, 1, 6, 7}, {"67.."}, true},
        TPictureCase{"FlcEndingInsideAPacket", TDecoder::DeltaFlc, 4, 1,
                     Bytes{1, 0, 2, 0, 0, 1, 3, 4, 0}, {"34.."}, false},
        TPictureCase{"FlcOnlyOpcodesUntilTheEnd", TDecoder::DeltaFlc, 2, 1,
                     Bytes{1, 0, 0xFF, 0xFF, 0xFF, 0xFF}, {".."}, false}),
    [](const auto& info) { return info.param.Name; });

}  // namespace
}  // namespace tovasel::testing
