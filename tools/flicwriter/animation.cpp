#include <stdexcept>

#include "flic_writer.h"

namespace tovasel::flicwriter {
namespace {

// A colour chunk for the entries that differ, as one packet spanning the
// first to the last changed entry; none when nothing changed.
std::optional<TChunk> ColourChange(const TColours& before, const TColours& after, bool colour64) {
  int first = -1;
  int last = -1;
  for (int i = 0; i < 256; ++i) {
    if (!(before[i] == after[i])) {
      if (first < 0) first = i;
      last = i;
    }
  }
  if (first < 0) return std::nullopt;
  TColourPacket packet{static_cast<std::uint8_t>(first),
                       std::vector<TRgb>(after.begin() + first, after.begin() + last + 1)};
  return TChunk{colour64 ? kColor64 : kColor256,
                colour64 ? Color64Payload({packet}) : Color256Payload({packet}), std::nullopt};
}

TFrame Transition(const TIndexedPicture& fromPicture, const TColours& fromColours, const TAnimationFrame& to,
                  const TAnimationOptions& options) {
  TFrame frame;
  if (auto colours = ColourChange(fromColours, to.Colours, options.Colour64)) frame.Chunks.push_back(*colours);
  auto delta = [&](const TIndexedPicture& base) {
    auto payload = options.FliDeltas ? DeltaFliPayload(base, to.Picture) : DeltaFlcPayload(base, to.Picture);
    if (!payload.empty())
      frame.Chunks.push_back(TChunk{options.FliDeltas ? kDeltaFli : kDeltaFlc, std::move(payload), std::nullopt});
  };
  switch (to.Encoding) {
    case TEncoding::enDelta: delta(fromPicture); break;
    case TEncoding::enByteRun: frame.Chunks.push_back(TChunk{kByteRun, ByteRunPayload(to.Picture), std::nullopt}); break;
    case TEncoding::enCopy: frame.Chunks.push_back(TChunk{kFliCopy, CopyPayload(to.Picture), std::nullopt}); break;
    case TEncoding::enBlackThenDelta:
      frame.Chunks.push_back(TChunk{kBlack, {}, std::nullopt});
      delta(TIndexedPicture(to.Picture.Width, to.Picture.Height, 0));
      break;
  }
  return frame;
}

}  // namespace

TFlicLayout BuildAnimation(const std::vector<TAnimationFrame>& frames, const TAnimationOptions& options) {
  if (frames.empty()) throw std::invalid_argument("an animation needs a frame");
  TFlicLayout layout;
  layout.Width = static_cast<std::uint16_t>(frames[0].Picture.Width);
  layout.Height = static_cast<std::uint16_t>(frames[0].Picture.Height);
  layout.Speed = options.Speed;
  layout.RingFrame = options.RingFrame;
  layout.Classic = options.Classic;
  layout.Magic = options.FliDeltas ? 0xAF11 : 0xAF12;

  const TAnimationFrame& head = frames[0];
  TFrame first;
  first.Chunks.push_back(TChunk{options.Colour64 ? kColor64 : kColor256,
                                options.Colour64 ? AllColours64(head.Colours) : AllColours256(head.Colours),
                                std::nullopt});
  if (head.Encoding == TEncoding::enCopy)
    first.Chunks.push_back(TChunk{kFliCopy, CopyPayload(head.Picture), std::nullopt});
  else
    first.Chunks.push_back(TChunk{kByteRun, ByteRunPayload(head.Picture), std::nullopt});
  layout.Frames.push_back(std::move(first));

  for (std::size_t i = 1; i < frames.size(); ++i)
    layout.Frames.push_back(Transition(frames[i - 1].Picture, frames[i - 1].Colours, frames[i], options));
  if (options.RingFrame) {
    TAnimationFrame back = head;
    back.Encoding = TEncoding::enDelta;
    layout.Frames.push_back(Transition(frames.back().Picture, frames.back().Colours, back, options));
  }
  return layout;
}

TFlicLayout BuildLoopedAnimation(const std::vector<TAnimationFrame>& cycle, int frameCount,
                                 const TAnimationOptions& options) {
  if (frameCount < 1) throw std::invalid_argument("an animation needs a frame");
  if (options.RingFrame && frameCount % static_cast<int>(cycle.size()) != 0)
    throw std::invalid_argument("a looped animation ends its cycle before its ring frame");
  TAnimationOptions closed = options;
  closed.RingFrame = true;
  TFlicLayout layout = BuildAnimation(cycle, closed);
  // Each cycle of frames 2.. goes through the same transitions, the last
  // one (the ring frame of a single cycle) back to the first picture.
  const std::vector<TFrame> transitions(layout.Frames.begin() + 1, layout.Frames.end());
  layout.Frames.resize(1);
  for (int f = 1; f < frameCount; ++f) layout.Frames.push_back(transitions[static_cast<std::size_t>(f - 1) % transitions.size()]);
  layout.RingFrame = options.RingFrame;
  if (options.RingFrame) layout.Frames.push_back(transitions.back());
  return layout;
}

}  // namespace tovasel::flicwriter
