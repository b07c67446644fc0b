#include "gif/colour_map.h"

#include <algorithm>
#include <ostream>

#include "gif/gif_exception.h"
#include "gif/frame_transparency.h"
#include "gif/gif_header.h"
#include "gif/gif_image.h"
#include "gif/stream_output.h"
#include "gif/sub_image.h"

namespace tovasel {

int TGIFColorMap::AppendColor(TColor color) {
  if (count_ >= MaxEntries) throw GIFException("Color table overflow");
  GrowCapacity(count_ + 1);
  entries_[static_cast<std::size_t>(count_)] = {static_cast<std::uint8_t>(color),
                                                static_cast<std::uint8_t>(color >> 8),
                                                static_cast<std::uint8_t>(color >> 16)};
  ++count_;
  sorted_ = false;
  NotifyChanged();
  return count_ - 1;
}

int TGIFColorMap::AppendUniqueColor(TColor color) {
  const int found = FindColor(color);
  return found >= 0 ? found : AppendColor(color);
}

int TGIFColorMap::FindColor(TColor color) const {
  const TColor wanted = color & 0xFFFFFF;
  if (sorted_) {
    // Most used colours come first in a sorted map.
    for (int i = 0; i < count_; ++i) {
      if (entries_[static_cast<std::size_t>(i)].Value() == wanted) return i;
    }
  } else {
    for (int i = count_ - 1; i >= 0; --i) {
      if (entries_[static_cast<std::size_t>(i)].Value() == wanted) return i;
    }
  }
  return -1;
}

void TGIFColorMap::RemoveColor(int index) {
  if (index < 0 || index >= count_) throw GIFException("Invalid color index");
  std::copy(entries_.begin() + index + 1, entries_.begin() + count_, entries_.begin() + index);
  --count_;
  sorted_ = false;
  NotifyChanged();
}

TColor TGIFColorMap::ColorAt(int index) const {
  if (index < 0 || index >= count_) {
    ReportWarning(1, "Invalid color index");
    if (count_ == 0) throw GIFException("Color table is empty");
    index = 0;
  }
  return entries_[static_cast<std::size_t>(index)].Value();
}

void TGIFColorMap::ResetColors() {
  entries_.clear();
  entries_.shrink_to_fit();
  count_ = 0;
  sorted_ = false;
}

void TGIFColorMap::SetEntryCount(int count) {
  if (count < 0 || count > count_) throw GIFException("Invalid color index");
  if (count == count_) return;
  count_ = count;
  NotifyChanged();
}

int TGIFColorMap::ColorBits() const {
  if (count_ == 0) return 0;
  int bits = 1;
  while ((1 << bits) < count_) ++bits;
  return bits;
}

void TGIFColorMap::GrowCapacity(int count) {
  if (count < EntryCapacity()) return;
  int capacity = count <= 16 ? 16 : (count + 31) / 32 * 32;
  capacity = std::min(capacity, MaxEntries);
  entries_.resize(static_cast<std::size_t>(capacity));
}

void TGIFColorMap::ReplaceEntries(std::span<const TGIFColor> entries) {
  const int count = static_cast<int>(std::min<std::size_t>(entries.size(), MaxEntries));
  ResetColors();
  GrowCapacity(count);
  std::copy_n(entries.begin(), count, entries_.begin());
  count_ = count;
  NotifyChanged();
}

void TGIFColorMap::LoadRGBQuads(std::span<const TRGBQuad> quads) {
  const int count = static_cast<int>(std::min<std::size_t>(quads.size(), MaxEntries));
  ResetColors();
  GrowCapacity(count);
  for (int i = 0; i < count; ++i) {
    const TRGBQuad& quad = quads[static_cast<std::size_t>(i)];
    entries_[static_cast<std::size_t>(i)] = {quad.rgbRed, quad.rgbGreen, quad.rgbBlue};
  }
  count_ = count;
  NotifyChanged();
}

void TGIFColorMap::CopyFrom(const TGIFColorMap& other) {
  if (&other == this) return;
  entries_ = other.entries_;
  count_ = other.count_;
  sorted_ = other.sorted_;
  NotifyChanged();
}

void TGIFColorMap::ReportWarning(int severity, const std::string& message) const {
  if (TGIFImage* document = OwnerImage()) document->ReportWarning(severity, message);
}

TGIFImage* TGIFGlobalColorMap::OwnerImage() const { return ownerHeader_->OwnerImage(); }

TGIFImage* TGIFLocalColorMap::OwnerImage() const { return ownerFrame_->OwnerImage(); }

namespace {

void CountFrame(const TGIFSubImage& frame, std::vector<TColorUsage>& usage) {
  if (frame.IsBlank()) return;
  const std::uint8_t* p = frame.PixelData();
  const std::uint8_t* end = p + frame.PixelDataSize();
  const std::size_t size = usage.size();
  for (; p != end; ++p) {
    // An index outside the map has no entry to count against.
    if (*p < size) ++usage[*p].Count;
  }
}

void RemapFrame(TGIFSubImage& frame, const TColorTranslation& table) {
  if (!frame.IsBlank()) {
    std::uint8_t* p = frame.PixelData();
    std::uint8_t* end = p + frame.PixelDataSize();
    for (; p != end; ++p) *p = table[*p];
  }
  if (TGIFGraphicControlExtension* control = TransparentControl(frame)) {
    control->SetTransparentIndex(table[control->TransparentIndex()]);
  }
}

// The frames that draw with the global map: those without local colours,
// while the global map has entries.
template <class Fn>
void ForEachGlobalUser(const TGIFGlobalColorMap& map, Fn fn) {
  TGIFImage* document = map.OwnerImage();
  if (document == nullptr || map.Empty()) return;
  const TGIFImageList& frames = document->Frames();
  for (int i = 0; i < frames.ItemCount(); ++i) {
    TGIFSubImage& frame = frames.FrameAt(i);
    if (frame.LocalColors().Empty()) fn(frame);
  }
}

}  // namespace

void TGIFColorMap::CountUses(std::vector<TColorUsage>&) const {}
void TGIFColorMap::RemapFrames(const TColorTranslation&) {}

void TGIFGlobalColorMap::CountUses(std::vector<TColorUsage>& usage) const {
  ForEachGlobalUser(*this, [&](TGIFSubImage& frame) { CountFrame(frame, usage); });
}

void TGIFGlobalColorMap::RemapFrames(const TColorTranslation& table) {
  ForEachGlobalUser(*this, [&](TGIFSubImage& frame) { RemapFrame(frame, table); });
}

void TGIFLocalColorMap::CountUses(std::vector<TColorUsage>& usage) const {
  CountFrame(OwnerFrame(), usage);
}

void TGIFLocalColorMap::RemapFrames(const TColorTranslation& table) {
  RemapFrame(OwnerFrame(), table);
}

}  // namespace tovasel
