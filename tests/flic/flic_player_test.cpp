// The player's interface: counting, state rules, properties and painting
// through the output window.
#include <vector>

#include "flic_test_support.h"

namespace tovasel::testing {
namespace {

// Records what the player asks of its window.
class TRecordingWindow : public TOutputWindow {
 public:
  struct TDraw {
    TRect Source;
    TRect Dest;
    bool WholeWindow;
  };
  void DrawFrame(const TFlicSurface&, const TRect& source, const TRect& dest, bool wholeWindow) override {
    Draws.push_back(TDraw{source, dest, wholeWindow});
  }
  void Invalidate(const TRect& area) override { Invalidated.push_back(area); }
  std::vector<TDraw> Draws;
  std::vector<TRect> Invalidated;
};

fw::TFlicLayout Animation(int frames, int width = 32, int height = 20, unsigned colourSeed = 3) {
  std::vector<fw::TAnimationFrame> list;
  for (int f = 0; f < frames; ++f)
    list.push_back(fw::TAnimationFrame{PatternPicture(width, height, 5 + f), PatternColours(colourSeed), fw::TEncoding::enDelta});
  fw::TAnimationOptions options;
  options.Speed = 0x12345;  // only the low 16 bits count
  return fw::BuildAnimation(list, options);
}

TEST(Player, ReportsNothingWhileClosed) {
  TFlicPlayer32 player;
  EXPECT_EQ(player.FrameCount(), 0);
  EXPECT_EQ(player.Speed(), 0);
  EXPECT_EQ(player.CurrentFrame(), 0);
  EXPECT_EQ(player.PlayState(), psClosed);
  EXPECT_EQ(player.Surface().Width(), 4);

  TTempFlic file(Animation(3));
  OpenIn(player, file.Path());
  EXPECT_EQ(player.FrameCount(), 3);
  EXPECT_EQ(player.Speed(), 0x2345);
  player.Close();
  EXPECT_EQ(player.FrameCount(), 0);
  EXPECT_EQ(player.Speed(), 0);
  EXPECT_EQ(player.CurrentLoop(), 0);
  // The surface keeps its last size and picture.
  EXPECT_EQ(player.Surface().Width(), 32);
}

TEST(Player, CountsFramesAndLoops) {
  TTempFlic file(Animation(5));
  TFlicPlayer32 player;
  OpenIn(player, file.Path());
  EXPECT_EQ(player.CurrentFrame(), 1);
  EXPECT_EQ(player.PlayState(), psIdle);
  for (int i = 0; i < 4; ++i) player.NextFrame();
  EXPECT_EQ(player.CurrentFrame(), 5);
  EXPECT_EQ(player.CurrentLoop(), 1);
  player.NextFrame();
  EXPECT_EQ(player.CurrentFrame(), 1);
  EXPECT_EQ(player.CurrentLoop(), 2);
}

TEST(Player, StopFrameAndPlayLoopsIgnoreValuesOutOfRange) {
  TFlicPlayer32 player;
  player.SetStopFrame(1);  // closed: ignored
  EXPECT_EQ(player.StopFrame(), 0);
  TTempFlic file(Animation(4));
  OpenIn(player, file.Path());
  player.SetStopFrame(5);
  EXPECT_EQ(player.StopFrame(), 0);
  player.SetStopFrame(4);
  EXPECT_EQ(player.StopFrame(), 4);
  player.SetStopFrame(-1);
  EXPECT_EQ(player.StopFrame(), 4);
  player.SetPlayLoops(3);
  player.SetPlayLoops(-2);
  EXPECT_EQ(player.PlayLoops(), 3);
}

TEST(Player, OpenWhileOpenLoadsTheNewFileAndCloseForgetsTheName) {
  TTempFlic first(Animation(2, 16, 8));
  TTempFlic second(Animation(6, 40, 30));
  TFlicPlayer32 player;
  OpenIn(player, first.Path());
  player.NextFrame();
  OpenIn(player, second.Path());
  EXPECT_TRUE(player.IsOpen());
  EXPECT_EQ(player.FrameCount(), 6);
  EXPECT_EQ(player.CurrentFrame(), 1);
  EXPECT_EQ(player.Surface().Width(), 40);

  player.Close();
  EXPECT_TRUE(player.FileName.empty());
  player.Open();
  EXPECT_FALSE(player.IsOpen());
  EXPECT_EQ(player.ErrorCode(), 0x106u);
}

TEST(Player, WorkingPaletteOutlivesTheFile) {
  TTempFlic coloured(Animation(2, 8, 8, 9));
  fw::TFlicLayout plain = Animation(2, 8, 8);
  plain.Frames[0].Chunks.erase(plain.Frames[0].Chunks.begin());  // no colour chunk
  TTempFlic uncoloured(plain);

  TFlicPlayer32 player;
  OpenIn(player, coloured.Path());
  const TPalette colours = player.Palette();
  OpenIn(player, uncoloured.Path());
  EXPECT_EQ(player.ErrorCode(), 0u);
  EXPECT_TRUE(player.Palette() == colours);
  // The fresh pixel store shows the old palette's entry 0 for every index.
  const TPaletteEntry& zero = colours.Entry(0);
  EXPECT_EQ(player.Surface().ColorTable()[200], (TRGBQuad{zero.Blue, zero.Green, zero.Red, 0}));
}

TEST(Player, DefaultPaletteIsBlack) {
  TFlicPlayer32 player;
  for (int i = 0; i < 256; ++i) ASSERT_EQ(player.Palette().Entry(i), TPaletteEntry{});
}

TEST(Player, OptionsWordAndPropertiesAgree) {
  TFlicPlayer32 player;
  EXPECT_EQ(player.Options(), 0);
  EXPECT_TRUE(player.AutoSize());
  EXPECT_TRUE(player.NotifyMessages());
  EXPECT_TRUE(player.StatusMessages());
  EXPECT_EQ(player.ThreadWait(), 500);
  EXPECT_STREQ(player.Version(), "2.24c");

  player.SetAutoSize(false);
  player.SetPreRender(true);
  player.SetStatusMessages(false);
  EXPECT_EQ(player.Options(), 0x2000 | 0x0001 | 0x0080);

  TRecordingWindow window;
  player.SetOutputWindow(&window);
  player.SetOptions(0x0002 | 0x0040 | 0x0200 | 0x0800 | 0x1000 | 0x4000);
  EXPECT_TRUE(player.HideFlicWindow());
  EXPECT_FALSE(player.NotifyMessages());
  EXPECT_TRUE(player.NoPaintLoad());
  EXPECT_TRUE(player.Transparent());
  EXPECT_TRUE(player.NonClientDraw());
  EXPECT_TRUE(player.AutoPlay());
  EXPECT_TRUE(player.AutoSize());
  EXPECT_FALSE(player.PreRender());
  EXPECT_EQ(player.OutputWindow(), &window);
  player.SetOptions(0x0020);
  EXPECT_EQ(player.OutputWindow(), nullptr);

  player.SetTransparency(0x112233);
  player.SetTransparencyGreen(0xAA);
  EXPECT_EQ(player.Transparency(), 0x11AA33u);
  EXPECT_EQ(player.TransparencyRed(), 0x33);
  EXPECT_EQ(player.TransparencyBlue(), 0x11);
}

TEST(Player, PaintsOneToOneWithAutoSize) {
  TTempFlic file(Animation(3, 30, 20));
  TRecordingWindow window;
  TFlicPlayer32 player;
  player.SetOutputWindow(&window);
  player.SetDisplayLeft(5);
  player.SetDisplayTop(7);
  OpenIn(player, file.Path());
  ASSERT_EQ(window.Draws.size(), 1u);
  EXPECT_EQ(window.Draws[0].Source, (TRect{0, 0, 30, 20}));
  EXPECT_EQ(window.Draws[0].Dest, (TRect{5, 7, 35, 27}));
  EXPECT_FALSE(window.Draws[0].WholeWindow);
  player.NextFrame();
  EXPECT_EQ(window.Draws.size(), 2u);
  player.HideFrame();
  player.Close();
  ASSERT_EQ(window.Invalidated.size(), 2u);
  EXPECT_EQ(window.Invalidated[1], (TRect{5, 7, 35, 27}));
}

TEST(Player, StretchesWithoutAutoSizeAndHonoursNoPaintLoad) {
  TTempFlic file(Animation(2, 320, 200));
  TRecordingWindow window;
  TFlicPlayer32 player;
  player.SetOutputWindow(&window);
  player.SetAutoSize(false);
  player.SetNoPaintLoad(true);
  player.SetDisplayWidth(640);
  player.SetDisplayHeight(400);
  OpenIn(player, file.Path());
  EXPECT_TRUE(window.Draws.empty());
  player.Paint();
  ASSERT_EQ(window.Draws.size(), 1u);
  EXPECT_EQ(window.Draws[0].Source, (TRect{0, 0, 320, 200}));
  EXPECT_EQ(window.Draws[0].Dest, (TRect{0, 0, 640, 400}));
  EXPECT_EQ(player.Surface().Width(), 320);
}

}  // namespace
}  // namespace tovasel::testing
