// Byte-exact layout of written GIF streams: signature, screen descriptor,
// colour tables, image descriptors, extensions and image data framing.

#include <gtest/gtest.h>

#include <numeric>

#include "gif/gif_exception.h"
#include "gif/text_extensions.h"
#include "gif_test_support.h"

namespace tovasel {
namespace {

using testing::AddControl;
using testing::AddLoop;
using testing::AddRawFrame;
using testing::Bytes;
using testing::SaveToBytes;

TEST(StreamLayout, WorkedExampleOfTwoFramesIsExact) {
  TGIFImage document;
  const std::uint8_t black[] = {0, 0, 0, 0};
  const std::uint8_t checker[] = {0, 1, 1, 0};
  for (const auto* pixels : {black, checker}) {
    auto frame = std::make_unique<TGIFSubImage>(document);
    frame->Place(0, 0, 2, 2);
    std::copy_n(pixels, 4, frame->PixelData());
    frame->LocalColors().AppendColor(MakeColor(0, 0, 0));
    frame->LocalColors().AppendColor(MakeColor(255, 255, 255));
    const int index = document.AddFrame(std::move(frame));
    TGIFSubImage& added = document.Frames().FrameAt(index);
    if (index == 0) AddLoop(added, 0);
    AddControl(added, 10);
  }

  const Bytes expected = {
      0x47, 0x49, 0x46, 0x38, 0x39, 0x61,                          // "GIF89a"
      0x02, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00,                    // screen 2 x 2
      0x21, 0xFF, 0x0B, 'N',  'E',  'T',  'S',  'C',  'A',  'P',  'E', '2', '.', '0',
      0x03, 0x01, 0x00, 0x00, 0x00,                                // loop forever
      0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00,              // delay 10
      0x2C, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x02, 0x00, 0x80,  // descriptor
      0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF,                          // local table
      0x02, 0x02, 0x84, 0x51, 0x00,                                // Clear 0 6 0 End
      0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00,              //
      0x2C, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x02, 0x00, 0x80,  //
      0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF,                          //
      0x02, 0x03, 0x44, 0x02, 0x05, 0x00,                          // width 3 -> 4
      0x3B};
  ASSERT_EQ(expected.size(), 92u);
  EXPECT_EQ(SaveToBytes(document), expected);
}

TEST(StreamLayout, DocumentWithoutFramesIsRefusedBeforeAnyByte) {
  TGIFImage document;
  std::ostringstream out;
  try {
    document.SaveToStream(out);
    FAIL() << "no exception";
  } catch (const GIFException& error) {
    EXPECT_STREQ(error.what(), "Unsupported GIF version");
  }
  EXPECT_TRUE(out.str().empty());
}

TEST(StreamLayout, FramesWithoutExtensionsGiveVersion87a) {
  TGIFImage document;
  const std::uint8_t pixel[] = {0};
  AddRawFrame(document, 1, 1, pixel, 2);
  const Bytes bytes = SaveToBytes(document);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF87a");
  EXPECT_EQ(document.FileVersion(), 1);
}

struct TableCase {
  const char* name;
  int entries;
  int writtenEntries;
  std::uint8_t descriptorPacked;
  friend void PrintTo(const TableCase& row, std::ostream* os) { *os << row.name; }
};

class LocalTablePadding : public ::testing::TestWithParam<TableCase> {};

TEST_P(LocalTablePadding, TableIsPaddedWithBlackToAPowerOfTwo) {
  const TableCase& row = GetParam();
  TGIFImage document;
  const std::uint8_t pixel[] = {0};
  TGIFSubImage& frame = AddRawFrame(document, 1, 1, pixel, 0);
  for (int i = 0; i < row.entries; ++i) frame.LocalColors().AppendColor(0x00FFFFFF);
  const Bytes bytes = SaveToBytes(document);
  // signature 6 + screen 7 + descriptor 10, then the table.
  const std::size_t table = 6 + 7 + 10;
  EXPECT_EQ(bytes[table - 1], row.descriptorPacked);
  for (int i = 0; i < row.writtenEntries * 3; ++i) {
    EXPECT_EQ(bytes[table + i], i < row.entries * 3 ? 0xFF : 0x00) << "table byte " << i;
  }
  // The minimum code size follows the padded table.
  EXPECT_EQ(bytes[table + row.writtenEntries * 3], std::max(2, frame.ColorBits()));
}

INSTANTIATE_TEST_SUITE_P(Entries, LocalTablePadding,
                         ::testing::Values(TableCase{"one", 1, 2, 0x80},
                                           TableCase{"two", 2, 2, 0x80},
                                           TableCase{"three", 3, 4, 0x81},
                                           TableCase{"five", 5, 8, 0x82},
                                           TableCase{"hundred_twenty_nine", 129, 256, 0x87},
                                           TableCase{"full", 256, 256, 0x87}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StreamLayout, FramesWithFullLocalMapsAndNoGlobalMap) {
  TGIFImage document;
  Bytes pixels(4 * 3);
  std::iota(pixels.begin(), pixels.end(), 200);
  for (int i = 0; i < 2; ++i) AddControl(AddRawFrame(document, 4, 3, pixels, 256), 5);
  const Bytes bytes = SaveToBytes(document);
  EXPECT_EQ(bytes[10], 0x77);  // resolution 7, size bits 7, no global table
  // Each frame: control extension 8, descriptor 10, table 768, code size.
  std::size_t at = 13;
  for (int i = 0; i < 2; ++i) {
    at += 8;
    ASSERT_EQ(bytes[at], 0x2C);
    EXPECT_EQ(bytes[at + 9], 0x87);
    at += 10 + 768;
    EXPECT_EQ(bytes[at], 8);
    // Skip the sub-blocks to the next frame.
    ++at;
    while (bytes[at] != 0) at += bytes[at] + 1u;
    ++at;
  }
  EXPECT_EQ(bytes[at], 0x3B);
  EXPECT_EQ(at + 1, bytes.size());
}

TEST(StreamLayout, SortedGlobalMapOfHundredEntries) {
  TGIFImage document;
  for (int i = 0; i < 100; ++i) document.GlobalColors().AppendColor(MakeColor(i, i, i));
  document.GlobalColors().SetIsSorted(true);
  const std::uint8_t pixels[] = {99, 0, 50, 7};
  AddRawFrame(document, 2, 2, pixels, 0);
  const Bytes bytes = SaveToBytes(document);
  EXPECT_EQ(bytes[10], 0xEE);
  const std::size_t descriptor = 13 + 128 * 3;
  EXPECT_EQ(bytes[13 + 99 * 3], 99);
  EXPECT_EQ(bytes[13 + 100 * 3], 0);  // first padding entry
  ASSERT_EQ(bytes[descriptor], 0x2C);
  EXPECT_EQ(bytes[descriptor + 9], 0x00);
  EXPECT_EQ(bytes[descriptor + 10], 7);
  const auto decoded = testing::DecodeWithGiflib(bytes);
  ASSERT_EQ(decoded.error, 0);
  EXPECT_EQ(decoded.globalColourCount, 128);
  EXPECT_EQ(decoded.frames[0].indices, Bytes(std::begin(pixels), std::end(pixels)));
}

TEST(StreamLayout, FrameWithoutLocalMapTakesTheLargestCodeSizeOfTheDocument) {
  TGIFImage document;
  const std::uint8_t pixels[] = {1, 2, 3, 4};
  AddRawFrame(document, 2, 2, pixels, 256);
  document.GlobalColors().AppendColor(0);
  document.GlobalColors().AppendColor(0xFFFFFF);
  AddRawFrame(document, 2, 2, pixels, 0);
  const Bytes bytes = SaveToBytes(document);
  // Global table of 2 entries follows the screen descriptor.
  std::size_t at = 13 + 6 + 10 + 768 + 1;
  while (bytes[at] != 0) at += bytes[at] + 1u;
  ++at;
  ASSERT_EQ(bytes[at], 0x2C);
  EXPECT_EQ(bytes[at + 9], 0x00);
  EXPECT_EQ(bytes[at + 10], 8);
}

TEST(StreamLayout, FrameWithoutAreaWritesOnlyItsExtensions) {
  TGIFImage document;
  const std::uint8_t pixel[] = {0};
  AddRawFrame(document, 1, 1, pixel, 2);
  TGIFSubImage& empty = AddRawFrame(document, 0, 0, {}, 2);
  AddControl(empty, 3);
  const Bytes bytes = SaveToBytes(document);
  const Bytes tail = {0x21, 0xF9, 0x04, 0x00, 0x03, 0x00, 0x00, 0x00, 0x3B};
  ASSERT_GE(bytes.size(), tail.size());
  EXPECT_EQ(Bytes(bytes.end() - static_cast<long>(tail.size()), bytes.end()), tail);
}

TEST(StreamLayout, ImageDataOfExactly255BytesIsOneFullSubBlock) {
  // A 256-colour frame whose codes never repeat a pair: Clear, then 226 pixel
  // codes at 9 bits, End at 9 bits = 228 codes = 2052 bits = 256.5 bytes.
  // Search the pixel count that gives exactly 255 data bytes.
  for (int count = 200; count < 240; ++count) {
    TGIFImage document;
    Bytes pixels(static_cast<std::size_t>(count));
    std::iota(pixels.begin(), pixels.end(), 0);
    AddRawFrame(document, count, 1, pixels, 256);
    const Bytes bytes = SaveToBytes(document);
    const std::size_t data = 13 + 10 + 768 + 1;
    if (bytes[data] != 255) continue;
    EXPECT_EQ(bytes[data + 256], 0x00) << "no empty sub-block before the terminator";
    EXPECT_EQ(bytes[data + 257], 0x3B);
    EXPECT_EQ(bytes.size(), data + 258);
    return;
  }
  FAIL() << "no pixel count gave exactly 255 data bytes";
}

TEST(StreamLayout, LongDataIsCutInto255ByteSubBlocks) {
  TGIFImage document;
  Bytes pixels(5000);
  std::uint32_t state = 12345;
  for (auto& pixel : pixels) pixel = static_cast<std::uint8_t>((state = state * 1103515245 + 12345) >> 24);
  AddRawFrame(document, 100, 50, pixels, 256);
  const Bytes bytes = SaveToBytes(document);
  std::size_t at = 13 + 10 + 768 + 1;
  std::vector<int> lengths;
  while (bytes[at] != 0) {
    lengths.push_back(bytes[at]);
    at += bytes[at] + 1u;
  }
  ASSERT_GT(lengths.size(), 2u);
  for (std::size_t i = 0; i + 1 < lengths.size(); ++i) EXPECT_EQ(lengths[i], 255);
  EXPECT_GE(lengths.back(), 1);
}

struct ExtensionCase {
  const char* name;
  std::function<void(TGIFSubImage&)> build;
  Bytes expected;
  friend void PrintTo(const ExtensionCase& row, std::ostream* os) { *os << row.name; }
};

class ExtensionBytes : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(ExtensionBytes, WrittenExactly) {
  TGIFImage document;
  TGIFSubImage& frame = AddRawFrame(document, 0, 0, {}, 0);
  GetParam().build(frame);
  const Bytes bytes = SaveToBytes(document);
  ASSERT_EQ(bytes.size(), 13 + GetParam().expected.size() + 1);
  EXPECT_EQ(Bytes(bytes.begin() + 13, bytes.end() - 1), GetParam().expected);
}

Bytes CommentOf300() {
  Bytes bytes = {0x21, 0xFE, 255};
  bytes.insert(bytes.end(), 255, 'x');
  bytes.push_back(45);
  bytes.insert(bytes.end(), 45, 'x');
  bytes.push_back(0);
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ExtensionBytes,
    ::testing::Values(
        ExtensionCase{"control_delay_zero", [](TGIFSubImage& f) { testing::AddControl(f, 0); },
                      {0x21, 0xF9, 4, 0, 0, 0, 0, 0}},
        ExtensionCase{"control_transparent_disposal",
                      [](TGIFSubImage& f) {
                        auto& gce = testing::AddControl(f, 10);
                        gce.SetIsTransparent(true);
                        gce.SetTransparentIndex(5);
                        gce.SetDisposalMethod(2);
                      },
                      {0x21, 0xF9, 4, 0x09, 10, 0, 5, 0}},
        ExtensionCase{"loop_with_preload",
                      [](TGIFSubImage& f) { testing::AddLoop(f, 3).SetPreloadSize(0x01020304); },
                      {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0',
                       3, 1, 3, 0, 5, 2, 4, 3, 2, 1, 0}},
        ExtensionCase{"comment_of_300_characters",
                      [](TGIFSubImage& f) {
                        auto comment = std::make_unique<TGIFCommentExtension>(f);
                        comment->CommentLines() = {std::string(300, 'x'), ""};
                        f.FrameExtensions().Append(std::move(comment));
                      },
                      CommentOf300()},
        ExtensionCase{"plain_text",
                      [](TGIFSubImage& f) {
                        auto text = std::make_unique<TGIFTextExtension>(f);
                        text->GridLeft = 0x0102;
                        text->CharWidth = 8;
                        text->ForegroundIndex = 3;
                        text->TextLines() = {"Hi"};
                        f.FrameExtensions().Append(std::move(text));
                      },
                      {0x21, 0x01, 12, 2, 1, 0, 0, 0, 0, 0, 0, 8, 0, 3, 0, 2, 'H', 'i', 0}},
        ExtensionCase{"unknown_application",
                      [](TGIFSubImage& f) {
                        auto app = std::make_unique<TGIFUnknownAppExtension>(f);
                        app->SetAppIdentifier(MakeAppIdentifier("ABCDEFGH123"));
                        app->RawBlocks().emplace_back(2);
                        app->RawBlocks().back().BlockBytes()[1] = 7;
                        app->RawBlocks().emplace_back(0);
                        f.FrameExtensions().Append(std::move(app));
                      },
                      {0x21, 0xFF, 0x0B, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', '1', '2', '3',
                       2, 0, 7, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovasel
