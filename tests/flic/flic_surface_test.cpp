// The frame surface: bottom-up rows padded to 4 bytes, a colour table that
// follows SetPalette, and the copy into a true-colour bitmap.
#include <string>

#include "flic/flic_surface.h"
#include "flic_test_support.h"

namespace tovasel::testing {
namespace {

struct TSizeCase {
  std::string Name;
  int Width;
  int Height;
  std::size_t Stride;
  std::size_t ImageSize;
};

void PrintTo(const TSizeCase& c, std::ostream* os) { *os << c.Name; }

class SurfaceSize : public ::testing::TestWithParam<TSizeCase> {};

TEST_P(SurfaceSize, RowsArePaddedToFourBytes) {
  const TSizeCase& c = GetParam();
  TFlicSurface surface;
  surface.SetSize(c.Width, c.Height);
  EXPECT_EQ(surface.Stride(), c.Stride);
  EXPECT_EQ(surface.ImageSize(), c.ImageSize);
}

INSTANTIATE_TEST_SUITE_P(Surface, SurfaceSize,
                         ::testing::Values(TSizeCase{"Screen320x200", 320, 200, 320, 64000},
                                           TSizeCase{"Odd321x10", 321, 10, 324, 3240},
                                           TSizeCase{"OnePixel", 1, 1, 4, 4},
                                           TSizeCase{"Empty", 0, 0, 0, 0},
                                           TSizeCase{"NegativeCountsAsEmpty", -5, 3, 0, 0}),
                         [](const auto& info) { return info.param.Name; });

TEST(Surface, StoredRowZeroIsTheBottomOfThePicture) {
  TFlicSurface surface(3, 2);
  surface.SetPixel(0, 0, 5);
  EXPECT_EQ(surface.PictureRow(1)[0], 5);
  EXPECT_EQ(surface.PictureRow(0)[0], 0);
  surface.SetPixel(3, 0, 9);   // outside: ignored
  surface.SetPixel(0, 2, 9);
  surface.SetPixel(-1, 0, 9);
  EXPECT_EQ(surface.Bits(0)[3], 0);
}

TEST(Surface, ClearZeroesThePaddingToo) {
  TFlicSurface surface(5, 3);
  for (int r = 0; r < 3; ++r) std::fill_n(surface.Bits(r), surface.Stride(), std::uint8_t{7});
  surface.Clear();
  for (int r = 0; r < 3; ++r)
    for (std::size_t x = 0; x < surface.Stride(); ++x) ASSERT_EQ(surface.Bits(r)[x], 0);
}

TEST(Surface, ColourTableFollowsThePaletteAndResizingShowsEntryZero) {
  TFlicSurface surface(2, 2);
  TLogPalette block;
  block.Entries[0] = TPaletteEntry{10, 20, 30, 0};
  block.Entries[1] = TPaletteEntry{255, 0, 0, 0};
  block.Version = 0;  // forced back to 0x300
  surface.SetPalette(block);
  EXPECT_EQ(surface.ColorTable()[1], (TRGBQuad{0, 0, 255, 0}));
  EXPECT_EQ(surface.Palette().LogPalette().Version, 0x300);

  // A new pixel store shows entry 0 of the surface palette for every index
  // until the next SetPalette.
  surface.SetSize(3, 3);
  for (const TRGBQuad& q : surface.ColorTable()) ASSERT_EQ(q, (TRGBQuad{30, 20, 10, 0}));
  surface.SetPalette(block);
  EXPECT_EQ(surface.ColorTable()[1], (TRGBQuad{0, 0, 255, 0}));
}

TEST(Surface, CopyToBitmapGivesTopDownBlueGreenRed) {
  TFlicSurface surface(3, 2);
  TLogPalette block;
  block.Entries[1] = TPaletteEntry{200, 100, 50, 0};
  block.Entries[2] = TPaletteEntry{1, 2, 3, 0};
  surface.SetPalette(block);
  surface.PictureRow(0)[2] = 1;  // top right
  surface.PictureRow(1)[0] = 2;  // bottom left
  TBitmap bitmap;
  surface.CopyToBitmap(bitmap);
  ASSERT_EQ(bitmap.Width(), 3);
  ASSERT_EQ(bitmap.Height(), 2);
  const std::uint8_t* top = bitmap.ScanLine(0);
  EXPECT_EQ(top[6], 50);
  EXPECT_EQ(top[7], 100);
  EXPECT_EQ(top[8], 200);
  const std::uint8_t* bottom = bitmap.ScanLine(1);
  EXPECT_EQ(bottom[0], 3);
  EXPECT_EQ(bottom[1], 2);
  EXPECT_EQ(bottom[2], 1);
  EXPECT_EQ(top[0], 0);
}

}  // namespace
}  // namespace tovasel::testing
