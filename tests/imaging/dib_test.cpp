#include <gtest/gtest.h>

#include <string>

#include "imaging/dib.h"
#include "imaging/imaging_error.h"

namespace tovasel {
namespace {

template <class E, class Fn>
std::string MessageOf(Fn fn) {
  try {
    fn();
  } catch (const E& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(DIBReader, ReadsOtherLayoutsAsTwentyFourBitsLeavingTheBitmapAsItIs) {
  TBitmap bitmap(2, 1, TPixelFormat::pf8bit);
  bitmap.ColorTable() = {{1, 2, 3, 0}, {4, 5, 6, 0}};
  bitmap.ScanLine(0)[0] = 1;
  TDIBReader reader(bitmap, TPixelFormat::pf24bit);
  EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf8bit);
  EXPECT_EQ(bitmap.ScanLine(0)[0], 1);
  const std::uint8_t* row = reader.ScanLine(0);
  EXPECT_EQ(row[0], 4);
  EXPECT_EQ(row[2], 6);
  EXPECT_EQ(row[3], 1);
}

TEST(DIBReader, RowsOutsideTheImageAreAnError) {
  TBitmap bitmap(2, 2);
  TDIBReader reader(bitmap, TPixelFormat::pf24bit);
  EXPECT_EQ(MessageOf<EInvalidGraphicOperation>([&] { reader.ScanLine(2); }), "Scan line index out of range");
  EXPECT_EQ(MessageOf<EInvalidGraphicOperation>([&] { reader.ScanLine(-1); }), "Scan line index out of range");
  TBitmap empty;
  TDIBReader emptyReader(empty, TPixelFormat::pf24bit);
  EXPECT_EQ(MessageOf<EInvalidGraphicOperation>([&] { emptyReader.ScanLine(0); }),
            "Scan line index out of range");
}

struct WriterRefusal {
  std::string name;
  int width;
  int height;
  TPixelFormat format;
  std::string message;
};

class DIBWriterRefuses : public ::testing::TestWithParam<WriterRefusal> {};

TEST_P(DIBWriterRefuses, WithItsMessage) {
  const WriterRefusal& row = GetParam();
  TBitmap target(1, 1);
  const TBitmap before = target;
  EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { TDIBWriter writer(target, {}, row.width, row.height, row.format); }),
            row.message);
  EXPECT_EQ(target, before);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, DIBWriterRefuses,
    ::testing::Values(WriterRefusal{"ZeroWidth", 0, 5, TPixelFormat::pf8bit, "Invalid image dimensions"},
                      WriterRefusal{"ZeroHeight", 5, 0, TPixelFormat::pf8bit, "Invalid image dimensions"},
                      WriterRefusal{"FourBit", 5, 5, TPixelFormat::pf4bit, "Unsupported PixelFormat"},
                      WriterRefusal{"ThirtyTwoBit", 5, 5, TPixelFormat::pf32bit, "Unsupported PixelFormat"}),
    [](const auto& info) { return info.param.name; });

TEST(DIBWriter, BuildsAnEightBitImageWithA256EntryTable) {
  TBitmap target(7, 7);
  {
    TDIBWriter writer(target, {{10, 20, 30}, {40, 50, 60}}, 3, 2, TPixelFormat::pf8bit);
    writer.ScanLine(0)[2] = 1;
    writer.ScanLine(1)[0] = 1;
    EXPECT_EQ(MessageOf<EInvalidGraphicOperation>([&] { writer.ScanLine(2); }), "Scan line index out of range");
    // Nothing reaches the target before the writer is done.
    EXPECT_EQ(target.Width(), 7);
  }
  ASSERT_EQ(target.PixelFormat(), TPixelFormat::pf8bit);
  ASSERT_EQ(target.Width(), 3);
  ASSERT_EQ(target.ColorTable().size(), 256u);
  EXPECT_EQ(target.ColorTable()[0], (TRGBQuad{30, 20, 10, 0}));
  EXPECT_EQ(target.ColorTable()[1], (TRGBQuad{60, 50, 40, 0}));
  EXPECT_EQ(target.ColorTable()[2], TRGBQuad{});
  EXPECT_EQ(target.ColorTable()[255], TRGBQuad{});
  // Row 0 is the top row of the picture.
  EXPECT_EQ(target.ScanLine(0)[2], 1);
  EXPECT_EQ(target.ScanLine(1)[0], 1);
  EXPECT_EQ(target.ScanLine(0)[0], 0);
}

TEST(DIBWriter, WithoutRowsLeavesTheTargetAsItWas) {
  TBitmap target(2, 2);
  target.ScanLine(0)[0] = 9;
  const TBitmap before = target;
  { TDIBWriter writer(target, {}, 4, 4, TPixelFormat::pf24bit); }
  EXPECT_EQ(target, before);
}

}  // namespace
}  // namespace tovasel
