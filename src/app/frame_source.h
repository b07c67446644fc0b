#pragma once

#include "imaging/indexed_picture.h"

namespace tovasel {

class TFlicDecoder;
class TFlicSurface;
class TFrameCache;

// The pictures a conversion reads, in the frame cache's order: FLIC frame 2
// first, frame 1 last. A conversion takes them one after the other and, when
// it needs them once more, again from the first after Rewind.
class TFrameSource {
 public:
  virtual ~TFrameSource() = default;

  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // How many pictures there are. A conversion that goes on past them shows
  // the last one again; it keeps that picture itself.
  virtual int Count() const = 0;
  // The next picture, valid until the next call; at most Count times between
  // two Rewinds.
  virtual TIndexedPicture Next() = 0;
  virtual void Rewind() = 0;
};

// The window's way: the pictures its frame cache already holds.
class TCachedFrames final : public TFrameSource {
 public:
  explicit TCachedFrames(const TFrameCache& cache) : cache_(cache) {}
  int Width() const override;
  int Height() const override;
  int Count() const override;
  TIndexedPicture Next() override;
  void Rewind() override { next_ = 0; }

 private:
  const TFrameCache& cache_;
  int next_ = 0;
};

// The pictures straight from a decoder that has just opened its file, each
// decoded when it is taken; nothing is kept. Rewind walks the file again
// from the state it was opened on.
class TDecodedFrames final : public TFrameSource {
 public:
  explicit TDecodedFrames(TFlicDecoder& decoder) : decoder_(decoder) {}
  int Width() const override;
  int Height() const override;
  int Count() const override;
  TIndexedPicture Next() override;
  void Rewind() override;

 private:
  TFlicDecoder& decoder_;
  bool rewound_ = true;
};

// The surface's picture with its colours, rows bottom-up as it stores them.
TIndexedPicture SurfacePicture(const TFlicSurface& surface);

}  // namespace tovasel
