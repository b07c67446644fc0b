// The display caches: frames rendered ahead at Open, and frames drawn with a
// mask colour over a captured background.
#include "flic/flic_list.h"
#include "flic/screen_capture.h"
#include "playback_test_support.h"

namespace tovasel::testing {
namespace {

constexpr int kWidth = 24;
constexpr int kHeight = 16;

// The colour of picture pixel (x, y) as the surface's colour table shows it.
void ExpectPixel(const TBitmap& bitmap, int x, int y, const TRGBQuad& colour, const char* what) {
  const std::uint8_t* p = bitmap.ScanLine(y) + static_cast<std::size_t>(x) * 3;
  EXPECT_EQ(p[0], colour.rgbBlue) << what << " at " << x << "," << y;
  EXPECT_EQ(p[1], colour.rgbGreen) << what << " at " << x << "," << y;
  EXPECT_EQ(p[2], colour.rgbRed) << what << " at " << x << "," << y;
}

// True when `bitmap` shows `picture` scaled by `scale` in the surface's colours.
bool ShowsPicture(const TBitmap& bitmap, const fw::TIndexedPicture& picture, const TFlicSurface& surface,
                  int scale = 1) {
  if (bitmap.Width() != picture.Width * scale || bitmap.Height() != picture.Height * scale) return false;
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint8_t* p = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x, p += 3) {
      const std::uint8_t index = picture.Pixels[static_cast<std::size_t>(y / scale) * picture.Width + x / scale];
      const TRGBQuad& c = surface.ColorTable()[index];
      if (p[0] != c.rgbBlue || p[1] != c.rgbGreen || p[2] != c.rgbRed) return false;
    }
  }
  return true;
}

struct TPreRenderCase {
  const char* Name;
  bool AutoSize;
  int Scale;
};

class PreRender : public ::testing::TestWithParam<TPreRenderCase> {};

TEST_P(PreRender, RendersEveryFrameInOrderAtOpenAndThenOnlyDraws) {
  const TPreRenderCase& c = GetParam();
  TTempFlic file(PlaybackAnimation(4, 0));
  TPlaybackWindow window;
  TFlicPlayer32 player;
  player.SetOutputWindow(&window);
  player.SetPreRender(true);
  player.SetAutoSize(c.AutoSize);
  player.SetDisplayWidth(kWidth * c.Scale);
  player.SetDisplayHeight(kHeight * c.Scale);
  player.SetDisplayLeft(3);
  OpenIn(player, file.Path());

  ASSERT_EQ(player.PreRenderList().size(), 4u);
  for (int f = 0; f < 4; ++f)
    EXPECT_TRUE(ShowsPicture(player.PreRenderList()[f], PlaybackPicture(f, kWidth, kHeight), player.Surface(), c.Scale))
        << "frame " << f + 1;
  const fw::TIndexedPicture last = PlaybackPicture(3, kWidth, kHeight);
  EXPECT_EQ(DifferingPixels(PictureOf(player.Surface()), last), 0);

  // Open shows frame 1; each NextFrame draws the next cached frame, wrapping.
  for (int step = 0; step < 5; ++step) {
    if (step > 0) player.NextFrame();
    ASSERT_EQ(window.Draws.size(), static_cast<std::size_t>(step + 1));
    const auto& draw = window.Draws.back();
    EXPECT_TRUE(draw.Bitmap);
    EXPECT_EQ(draw.X, 3);
    EXPECT_EQ(draw.Picture, player.PreRenderList()[step % 4]) << "step " << step;
  }
  EXPECT_EQ(DifferingPixels(PictureOf(player.Surface()), last), 0) << "stepping only draws";

  player.Close();
  EXPECT_TRUE(player.PreRenderList().empty());
  EXPECT_TRUE(player.FrameBitmapCache().Empty());
}

INSTANTIATE_TEST_SUITE_P(Display, PreRender,
                         ::testing::Values(TPreRenderCase{"OneToOne", true, 1}, TPreRenderCase{"Stretched", false, 2}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(PreRenderPlay, PlayStepsDrawTheFrameTheyCount) {
  TTempFlic file(PlaybackAnimation(4, 0));
  TTestClock clock;
  TQueueDispatcher dispatcher;
  TPlaybackWindow window;
  TFlicPlayer32 player;
  player.SetClock(&clock);
  player.SetPlayDispatcher(&dispatcher);
  player.SetOutputWindow(&window);
  player.SetPreRender(true);
  OpenIn(player, file.Path());
  player.SetPlayLoops(1);
  player.Play();
  ASSERT_TRUE(dispatcher.RunUntil([&] { return player.PlayState() == psIdle; }));
  ASSERT_EQ(window.Draws.size(), 5u);
  for (int step = 1; step < 5; ++step)
    EXPECT_EQ(window.Draws[step].Picture, player.PreRenderList()[step % 4]) << "step " << step;
}

// A display too large to cache every frame (by default, or by the limit the
// caller sets) gets no caches; the player then decodes and paints each frame
// as it would without PreRender.
class OversizedCaches : public ::testing::TestWithParam<std::pair<int, std::size_t>> {};

TEST_P(OversizedCaches, AreNotBuilt) {
  const auto [side, maxBytes] = GetParam();
  TTempFlic file(PlaybackAnimation(3, 0));
  TPlaybackWindow window;
  TFlicPlayer32 player;
  player.SetOutputWindow(&window);
  player.SetPreRender(true);
  player.SetAutoSize(false);
  player.SetDisplayWidth(side);
  player.SetDisplayHeight(side);
  player.SetLimits({.MaxDisplayCacheBytes = maxBytes});
  OpenIn(player, file.Path());
  EXPECT_EQ(player.ErrorCode(), 0u);
  EXPECT_TRUE(player.PreRenderList().empty());
  EXPECT_TRUE(player.FrameBitmapCache().Empty());
  player.NextFrame();
  EXPECT_EQ(DifferingPixels(PictureOf(player.Surface()), PlaybackPicture(1, kWidth, kHeight)), 0);
  ASSERT_FALSE(window.Draws.empty());
  EXPECT_FALSE(window.Draws.back().Bitmap);
}

INSTANTIATE_TEST_SUITE_P(Display, OversizedCaches,
                         ::testing::Values(std::pair{30000, TLimits{}.MaxDisplayCacheBytes},
                                           std::pair{kWidth, std::size_t{kWidth * kWidth * 3 * (3 + 3) - 1}}));

// The screen under the window, made for the test: pixel (x, y) is blue x,
// green y, red 77.
class TPatternCapture : public TScreenCapture {
 public:
  static constexpr int kWidth = 60;
  static constexpr int kHeight = 40;
  bool CaptureScreen(const TOutputWindow* window, bool wholeWindow, TBitmap& out) override {
    Window = window;
    WholeWindow = wholeWindow;
    out.SetSize(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
      std::uint8_t* p = out.ScanLine(y);
      for (int x = 0; x < kWidth; ++x, p += 3) {
        p[0] = static_cast<std::uint8_t>(x);
        p[1] = static_cast<std::uint8_t>(y);
        p[2] = 77;
      }
    }
    return true;
  }
  static TRGBQuad At(int x, int y) {
    if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return TRGBQuad{};
    return TRGBQuad{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 77, 0};
  }
  const TOutputWindow* Window = nullptr;
  bool WholeWindow = false;
};

constexpr fw::TRgb kMaskRgb{10, 20, 30};
constexpr std::uint32_t kMaskColour = 10 | (20 << 8) | (30 << 16);

// Frame f: left half shows the mask colour (index 1), right half colour 2 + f.
fw::TFlicLayout HalfMaskedAnimation(int frames, int width, int height) {
  fw::TColours colours{};
  colours[1] = kMaskRgb;
  for (int f = 0; f < frames; ++f)
    colours[2 + f] = fw::TRgb{static_cast<std::uint8_t>(200 - f), static_cast<std::uint8_t>(100 + f), 50};
  std::vector<fw::TAnimationFrame> list;
  for (int f = 0; f < frames; ++f) {
    fw::TIndexedPicture picture(width, height, 1);
    for (int y = 0; y < height; ++y)
      for (int x = width / 2; x < width; ++x) picture.Pixels[static_cast<std::size_t>(y) * width + x] = 2 + f;
    list.push_back(fw::TAnimationFrame{picture, colours, fw::TEncoding::enByteRun});
  }
  return fw::BuildAnimation(list, fw::TAnimationOptions{});
}

struct TTransparentCase {
  const char* Name;
  bool PreRender;
  int Left;
  int Top;
  bool NonClientDraw;
};

class TransparentDrawing : public ::testing::TestWithParam<TTransparentCase> {};

TEST_P(TransparentDrawing, FrameColoursCoverTheCapturedBackground) {
  const TTransparentCase& c = GetParam();
  constexpr int w = 16;
  constexpr int h = 10;
  TTempFlic file(HalfMaskedAnimation(3, w, h));
  TPatternCapture capture;
  TPlaybackWindow window;
  TFlicPlayer32 player;
  player.SetScreenCapture(&capture);
  player.SetOutputWindow(&window);
  player.SetTransparent(true);
  player.SetPreRender(c.PreRender);
  player.SetNonClientDraw(c.NonClientDraw);
  player.SetTransparency(kMaskColour);
  player.SetDisplayLeft(c.Left);
  player.SetDisplayTop(c.Top);
  OpenIn(player, file.Path());

  ASSERT_NE(player.FlicList(), nullptr);
  EXPECT_TRUE(player.FlicList()->Captured());
  EXPECT_EQ(capture.Window, &window);
  EXPECT_EQ(capture.WholeWindow, c.NonClientDraw);
  EXPECT_EQ(player.FlicList()->Count(), c.PreRender ? 3 : 1);

  player.NextFrame();  // frame 2
  ASSERT_EQ(window.Draws.size(), 2u);
  for (const int f : {0, 1}) {
    const auto& draw = window.Draws[f];
    ASSERT_TRUE(draw.Bitmap);
    EXPECT_EQ(draw.X, c.Left);
    EXPECT_EQ(draw.Y, c.Top);
    ASSERT_EQ(draw.Picture.Width(), w);
    ASSERT_EQ(draw.Picture.Height(), h);
    const TRGBQuad frameColour = player.Surface().ColorTable()[2 + f];
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        if (x < w / 2)
          ExpectPixel(draw.Picture, x, y, TPatternCapture::At(c.Left + x, c.Top + y), "background");
        else
          ExpectPixel(draw.Picture, x, y, frameColour, "frame");
      }
  }
  EXPECT_EQ(window.WholeWindow, c.NonClientDraw);

  // Hiding puts the background back.
  player.HideFrame();
  ASSERT_EQ(window.Draws.size(), 3u);
  EXPECT_TRUE(window.Invalidated.empty());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      ExpectPixel(window.Draws[2].Picture, x, y, TPatternCapture::At(c.Left + x, c.Top + y), "restored");
}

INSTANTIATE_TEST_SUITE_P(Display, TransparentDrawing,
                         ::testing::Values(TTransparentCase{"Painted", false, 5, 7, false},
                                           TTransparentCase{"PreRendered", true, 5, 7, true},
                                           TTransparentCase{"PartlyOffTheCapture", false, 52, -3, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(FlicList, IgnoresBadSizesIndicesAndTargets) {
  TFlicList list(nullptr);
  list.SetWidth(0);
  list.SetHeight(-4);
  EXPECT_EQ(list.Width(), 0);
  EXPECT_FALSE(list.CaptureBackground(nullptr)) << "no capture to take it from";
  TPlaybackWindow window;
  list.DrawTransparent(1, &window, 0, 0);  // no size, no frames
  list.SetWidth(4);
  list.SetHeight(2);
  TBitmap frame(4, 2);
  list.StoreFrame(frame, 0);
  list.DrawTransparent(0, &window, 0, 0);
  list.DrawTransparent(2, &window, 0, 0);
  list.DrawTransparent(1, nullptr, 0, 0);
  list.RestoreBackground(nullptr, 0, 0);
  EXPECT_TRUE(window.Draws.empty());
  list.DrawTransparent(1, &window, 0, 0);
  ASSERT_EQ(window.Draws.size(), 1u);
  list.ClearFrames();
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
}  // namespace tovasel::testing
