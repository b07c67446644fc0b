#pragma once

// The per-pixel loops of the colour-map packing and the frame compaction as
// they were first written, one pixel at a time. The word-at-a-time and
// table-driven versions in src/colour must do exactly what these do.

#include <cstdint>
#include <limits>
#include <memory>

#include "colour/colour_map_optimizer.h"
#include "colour/frame_rect.h"
#include "gif/frame_transparency.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "gif/sub_image.h"

namespace tovasel::testing::plain {

// Counts one frame into a histogram; returns whether the frame needs the
// shared transparent entry.
inline bool CountFrame(THistogram& histogram, TGIFSubImage& frame) {
  constexpr std::int64_t kUseLimit = std::numeric_limits<std::int32_t>::max();
  histogram.CountedFrames.push_back(&frame);
  TGIFGraphicControlExtension* control = TransparentControl(frame);
  const int transparent = control != nullptr ? control->TransparentIndex() : -1;
  bool transparentOccurs = false;
  bool reported = false;
  const std::size_t entries = histogram.Tallies.size();
  std::uint8_t* p = frame.PixelData();
  std::uint8_t* end = p + frame.PixelDataSize();
  for (; p != end; ++p) {
    if (*p == transparent) {
      transparentOccurs = true;
      continue;
    }
    if (*p >= entries) {
      if (!reported) frame.ReportWarning(1, "Color not in color table");
      reported = true;
      *p = 0;
    }
    if (++histogram.Tallies[*p].Uses >= kUseLimit) break;
  }
  if (control != nullptr && !transparentOccurs) {
    control->SetTransparentIndex(0);
    control->SetIsTransparent(false);
  }
  return transparentOccurs;
}

inline void RemapFrame(TGIFSubImage& frame, const TColorTranslation& table, bool needsTransparent,
                       std::uint8_t shared) {
  int transparent = -1;
  if (needsTransparent) {
    if (TGIFGraphicControlExtension* control = TransparentControl(frame)) {
      transparent = control->TransparentIndex();
      control->SetTransparentIndex(shared);
    }
  }
  std::uint8_t* p = frame.PixelData();
  std::uint8_t* end = p + frame.PixelDataSize();
  for (; p != end; ++p) *p = (*p == transparent) ? shared : table[*p];
}

inline bool ColumnIs(const std::uint8_t* pixels, int width, int height, int x, std::uint8_t value) {
  const std::uint8_t* p = pixels + x;
  for (int y = 0; y < height; ++y, p += width) {
    if (*p != value) return false;
  }
  return true;
}

inline bool RowSpanIs(const std::uint8_t* row, int left, int right, std::uint8_t value) {
  for (int x = left; x <= right; ++x) {
    if (row[x] != value) return false;
  }
  return true;
}

inline void CropToContent(TGIFSubImage& frame) {
  if (frame.IsBlank() || !frame.HasTransparency()) return;
  const TGIFGraphicControlExtension* control = TransparentControl(frame);
  if (control == nullptr) return;
  const std::uint8_t t = control->TransparentIndex();
  const int width = frame.FrameWidth();
  const int height = frame.FrameHeight();
  const std::uint8_t* pixels = frame.PixelData();
  int left = 0;
  while (left < width && ColumnIs(pixels, width, height, left, t)) ++left;
  int right = width - 1;
  while (right >= left && ColumnIs(pixels, width, height, right, t)) --right;
  if (right < left) {
    frame.Clear();
    return;
  }
  int top = 0;
  while (top < height && RowSpanIs(pixels + static_cast<std::size_t>(top) * width, left, right, t)) ++top;
  int bottom = height - 1;
  while (bottom >= top && RowSpanIs(pixels + static_cast<std::size_t>(bottom) * width, left, right, t)) --bottom;
  if (bottom < top) {
    frame.Clear();
    return;
  }
  if (left == 0 && top == 0 && right == width - 1 && bottom == height - 1) return;
  const int newWidth = right - left + 1;
  const int newHeight = bottom - top + 1;
  std::vector<std::uint8_t> kept(static_cast<std::size_t>(newWidth) * static_cast<std::size_t>(newHeight));
  for (int y = 0; y < newHeight; ++y) {
    std::copy_n(pixels + static_cast<std::size_t>(top + y) * width + left, newWidth,
                kept.data() + static_cast<std::size_t>(y) * newWidth);
  }
  frame.Place(frame.FrameLeft() + left, frame.FrameTop() + top, newWidth, newHeight);
  std::copy(kept.begin(), kept.end(), frame.PixelData());
}

inline bool SameEntry(const TGIFColorMap& a, int i, const TGIFColorMap& b, int j) {
  return i < a.EntryCount() && j < b.EntryCount() &&
         a.Entries()[static_cast<std::size_t>(i)] == b.Entries()[static_cast<std::size_t>(j)];
}

inline void MergeWithPrevious(TGIFSubImage& frame, TGIFSubImage* previous) {
  auto removesItself = [](const TGIFSubImage& f) {
    const TGIFGraphicControlExtension* c = f.ControlExtension();
    return c != nullptr && (c->DisposalMethod() == 2 || c->DisposalMethod() == 3);
  };
  if (frame.IsBlank() || previous == nullptr || previous->IsBlank() || removesItself(*previous)) return;
  const TFrameRect area = TFrameRect::Of(frame).Intersect(TFrameRect::Of(*previous));
  if (area.IsEmpty()) return;
  TGIFGraphicControlExtension* ownControl = TransparentControl(frame);
  const bool hadTransparency = ownControl != nullptr;
  int transparent = hadTransparency ? ownControl->TransparentIndex() : -1;
  TGIFColorMap& colours = frame.EffectiveColors();
  if (!hadTransparency && (colours.Empty() || colours.EntryCount() >= TGIFColorMap::MaxEntries)) return;
  const TGIFGraphicControlExtension* previousControl = TransparentControl(*previous);
  const int previousTransparent = previousControl != nullptr ? previousControl->TransparentIndex() : -1;
  const TGIFColorMap& previousColours = previous->EffectiveColors();
  const bool sameMap = &colours == &previousColours;
  auto obtainIndex = [&]() {
    if (frame.LocalColors().Empty()) {
      const TGIFImageList& frames = frame.OwnerImage()->Frames();
      for (int i = 0; i < frames.ItemCount(); ++i) {
        const TGIFSubImage& other = frames.FrameAt(i);
        if (&other == &frame || !other.LocalColors().Empty()) continue;
        if (const TGIFGraphicControlExtension* c = TransparentControl(other)) return int{c->TransparentIndex()};
      }
    }
    return colours.AppendColor(MakeColor(0, 0, 0));
  };
  const int width = frame.FrameWidth();
  const int previousWidth = previous->FrameWidth();
  std::uint8_t* own = frame.PixelData();
  const std::uint8_t* earlier = previous->PixelData();
  for (int y = area.Top; y < area.Bottom; ++y) {
    std::uint8_t* f = own + static_cast<std::size_t>(y - frame.FrameTop()) * width + (area.Left - frame.FrameLeft());
    const std::uint8_t* p =
        earlier + static_cast<std::size_t>(y - previous->FrameTop()) * previousWidth + (area.Left - previous->FrameLeft());
    for (int x = area.Left; x < area.Right; ++x, ++f, ++p) {
      if (hadTransparency && *f == transparent) continue;
      if (*p == previousTransparent) continue;
      const bool same = (sameMap && *f == *p) || SameEntry(colours, *f, previousColours, *p);
      if (!same) continue;
      if (transparent < 0) transparent = obtainIndex();
      *f = static_cast<std::uint8_t>(transparent);
    }
  }
  if (!hadTransparency && transparent >= 0) {
    TGIFGraphicControlExtension* control = frame.ControlExtension();
    if (control == nullptr) {
      auto created = std::make_unique<TGIFGraphicControlExtension>(frame);
      control = created.get();
      frame.FrameExtensions().Append(std::move(created));
    }
    control->SetIsTransparent(true);
    control->SetTransparentIndex(transparent);
  }
}

}  // namespace tovasel::testing::plain
