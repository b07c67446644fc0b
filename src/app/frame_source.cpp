#include "app/frame_source.h"

#include "app/frame_cache.h"
#include "flic/flic_decoder.h"

namespace tovasel {

TIndexedPicture SurfacePicture(const TFlicSurface& surface) {
  TIndexedPicture picture;
  picture.Width = surface.Width();
  picture.Height = surface.Height();
  if (picture.Height > 0) {
    // The surface stores its rows bottom-up.
    picture.TopRow = surface.PictureRow(0);
    picture.RowStep = -static_cast<std::ptrdiff_t>(surface.Stride());
  }
  picture.Colors = surface.ColorTable();
  return picture;
}

int TCachedFrames::Width() const { return cache_.Width(); }
int TCachedFrames::Height() const { return cache_.Height(); }
int TCachedFrames::Count() const { return cache_.Count(); }
TIndexedPicture TCachedFrames::Next() { return cache_.Picture(next_++); }

int TDecodedFrames::Width() const { return decoder_.Surface().Width(); }
int TDecodedFrames::Height() const { return decoder_.Surface().Height(); }
int TDecodedFrames::Count() const { return decoder_.FrameCount(); }

TIndexedPicture TDecodedFrames::Next() {
  rewound_ = false;
  // The walk the cache capture makes: each step shows the next frame, and
  // the last step comes back to frame 1.
  decoder_.NextFrame();
  return SurfacePicture(decoder_.Surface());
}

void TDecodedFrames::Rewind() {
  // A walk that has not begun is where Restart would put it.
  if (!rewound_) decoder_.Restart();
  rewound_ = true;
}

}  // namespace tovasel
