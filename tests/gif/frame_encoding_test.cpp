// The writer encodes frames on worker threads; the stream must be the one
// written frame after frame, and an encoding error must reach the caller.

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <vector>

#include "gif/gif_exception.h"
#include "gif/sub_image.h"
#include "gif_test_support.h"

namespace tovasel {
namespace {

using testing::AddControl;
using testing::AddRawFrame;
using testing::Bytes;
using testing::SaveToBytes;

// Header, each frame on its own as the one-frame-at-a-time writer does, and
// the trailer.
Bytes SavedFrameByFrame(TGIFImage& document) {
  std::ostringstream out(std::ios::binary);
  document.HeaderBlock().SaveToStream(out);
  for (int i = 0; i < document.Frames().ItemCount(); ++i) document.Frames().FrameAt(i).SaveToStream(out);
  out.put(0x3B);
  const std::string text = out.str();
  return Bytes(text.begin(), text.end());
}

class FrameEncodingTest : public ::testing::TestWithParam<int> {};

// Frames of every kind in one document: local and global maps of several
// sizes, interlaced, blank, large and tiny, more frames than the workers
// may run ahead of the writer. Half the frames take the pixels of the frame
// before, with a map, interlacing and blankness of their own: only those
// whose data is the same may share it.
TEST_P(FrameEncodingTest, WritesTheBytesOfEncodingFrameAfterFrame) {
  std::mt19937 rng(static_cast<unsigned>(GetParam()));
  TGIFImage document;
  for (int c = 0; c < 64; ++c) document.GlobalColors().AppendColor(MakeColor(static_cast<std::uint8_t>(c), 1, 2));
  const int frames = 1 + static_cast<int>(rng() % 60);
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
  for (int f = 0; f < frames; ++f) {
    const int colours = (rng() % 3 == 0) ? 0 : 2 + static_cast<int>(rng() % 200);
    const int range = colours == 0 ? 64 : colours;
    if (f == 0 || rng() % 2 == 0) {
      width = 1 + static_cast<int>(rng() % 90);
      height = 1 + static_cast<int>(rng() % 50);
      pixels.assign(static_cast<std::size_t>(width * height), 0);
      for (auto& p : pixels) p = static_cast<std::uint8_t>(rng() % static_cast<unsigned>(range));
    } else {
      // Pixels past a smaller map fail the frame, so the repeat stays in it.
      for (auto& p : pixels) p = static_cast<std::uint8_t>(p % range);
    }
    TGIFSubImage& frame = AddRawFrame(document, width, height, pixels, colours);
    AddControl(frame, static_cast<std::uint16_t>(f));
    if (rng() % 5 == 0) frame.SetInterlaced(true);
    if (rng() % 9 == 0) frame.ReleasePixels();
  }
  const Bytes expected = SavedFrameByFrame(document);
  EXPECT_EQ(SaveToBytes(document), expected);
}

INSTANTIATE_TEST_SUITE_P(Documents, FrameEncodingTest, ::testing::Range(0, 16));

// A frame with a pixel past its table fails the save wherever it stands,
// and the workers still encoding later frames are stopped and joined.
TEST(FrameEncodingErrorTest, AnyFrameOutsideItsTableFailsTheSave) {
  for (const int bad : {0, 1, 7, 199}) {
    TGIFImage document;
    for (int f = 0; f < 200; ++f) {
      const std::vector<std::uint8_t> pixels(64 * 48, f == bad ? 9 : 1);
      AddRawFrame(document, 64, 48, pixels, 4);
    }
    EXPECT_THROW(SaveToBytes(document), GIFException) << bad;
  }
}

}  // namespace
}  // namespace tovasel
