// Cropping a transparent frame to its visible pixels, and making the pixels
// that repeat an earlier frame transparent.

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "colour/frame_passes.h"
#include "colour/frame_rect.h"
#include "gif/frame_transparency.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "gif/sub_image.h"
#include "imaging/byte_words.h"

namespace tovasel {

namespace {

// Whether one of the eight bytes of w equals value.
bool AnyByteIs(std::uint64_t w, std::uint8_t value) {
  const std::uint64_t x = w ^ (kByteOnes * value);
  return ((x - kByteOnes) & ~x & (kByteOnes << 7)) != 0;
}

// The first of row[from, to) other than value, or to.
int FirstOther(const std::uint8_t* row, int from, int to, std::uint8_t value) {
  const std::uint64_t all = kByteOnes * value;
  int x = from;
  while (x + 8 <= to && Load8(row + x) == all) x += 8;
  while (x < to && row[x] == value) ++x;
  return x;
}

// The last of row[from, to) other than value, or from - 1.
int LastOther(const std::uint8_t* row, int from, int to, std::uint8_t value) {
  const std::uint64_t all = kByteOnes * value;
  int x = to;
  while (x - 8 >= from && Load8(row + x - 8) == all) x -= 8;
  while (x > from && row[x - 1] == value) --x;
  return x - 1;
}

// 0xFF in each byte where a and b agree, 0 elsewhere.
std::uint64_t EqualBytes(std::uint64_t a, std::uint64_t b) {
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
  const std::uint64_t x = a ^ b;
  // The top bit of each byte says whether the byte is non-zero; no carry
  // crosses from one byte to the next.
  const std::uint64_t nonZero = ((x & kLow7) + kLow7) | x;
  return ((~nonZero & ~kLow7) >> 7) * 0xFF;
}

bool AllDifferent(const TGIFColorMap& map) {
  std::array<std::uint32_t, 256> values;
  const auto entries = map.Entries();
  for (std::size_t i = 0; i < entries.size(); ++i) values[i] = entries[i].Value();
  const auto end = values.begin() + static_cast<std::ptrdiff_t>(entries.size());
  std::sort(values.begin(), end);
  return std::adjacent_find(values.begin(), end) == end;
}

// The one colour a map holds twice, at indices A and B, when it holds no
// other colour more than once, as a packed map does with a used black
// beside the black of its transparent entry. On that map two pixels have
// the same colour exactly when their indices are equal or are A and B.
struct TTwinPair {
  bool Found = false;
  std::uint8_t A = 0;
  std::uint8_t B = 0;
};

TTwinPair TwinPairOf(const TGIFColorMap& map) {
  std::array<std::uint64_t, 256> keyed;
  const auto entries = map.Entries();
  for (std::size_t i = 0; i < entries.size(); ++i) keyed[i] = std::uint64_t{entries[i].Value()} << 8 | i;
  const auto end = keyed.begin() + static_cast<std::ptrdiff_t>(entries.size());
  std::sort(keyed.begin(), end);
  TTwinPair pair;
  for (auto it = keyed.begin(); it != end && it + 1 != end; ++it) {
    if ((*it >> 8) != (*(it + 1) >> 8)) continue;
    if (pair.Found) return {};
    if (it + 2 != end && (*(it + 2) >> 8) == (*it >> 8)) return {};
    pair = {true, static_cast<std::uint8_t>(*it & 0xFF), static_cast<std::uint8_t>(*(it + 1) & 0xFF)};
  }
  return pair;
}

// Colours as numbers that are equal exactly when the merge counts two
// pixels the same: the entry's colour, or for an index beyond the map a
// number of its own (shared by both frames when they share the map, where
// equal indices are the same colour whatever they are).
void IdentifyColours(const TGIFColorMap& map, std::uint32_t beyond, std::array<std::uint32_t, 256>& ids) {
  const auto entries = map.Entries();
  for (std::size_t i = 0; i < ids.size(); ++i) {
    ids[i] = i < entries.size() ? entries[i].Value() : beyond + static_cast<std::uint32_t>(i);
  }
}

// Disposal 2 (restore to background) and 3 (restore to previous) take the
// frame off the screen, so nothing after it can build on its pixels.
bool RemovesItself(const TGIFSubImage& frame) {
  const TGIFGraphicControlExtension* control = frame.ControlExtension();
  return control != nullptr && (control->DisposalMethod() == 2 || control->DisposalMethod() == 3);
}

}  // namespace

void CropToContent(TGIFSubImage& frame) {
  if (frame.IsBlank() || !frame.HasTransparency()) return;
  const TGIFGraphicControlExtension* control = TransparentControl(frame);
  if (control == nullptr) return;
  const std::uint8_t t = control->TransparentIndex();
  const int width = frame.FrameWidth();
  const int height = frame.FrameHeight();
  const std::uint8_t* pixels = frame.PixelData();

  // One pass over the rows: the visible columns are those between the
  // leftmost and rightmost visible pixel of any row.
  int left = width;
  int right = -1;
  int top = -1;
  int bottom = -1;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = pixels + static_cast<std::size_t>(y) * width;
    const int first = FirstOther(row, 0, width, t);
    if (first == width) continue;
    if (top < 0) top = y;
    bottom = y;
    left = std::min(left, first);
    right = std::max(right, LastOther(row, right + 1, width, t));
  }
  if (top < 0) {
    frame.Clear();
    return;
  }
  if (left == 0 && top == 0 && right == width - 1 && bottom == height - 1) return;

  frame.CropTo(left, top, right - left + 1, bottom - top + 1);
}

void MergeWithPrevious(TGIFSubImage& frame, TGIFSubImage* previous) {
  if (frame.IsBlank() || previous == nullptr || previous->IsBlank() || RemovesItself(*previous)) return;
  const TFrameRect area = TFrameRect::Of(frame).Intersect(TFrameRect::Of(*previous));
  if (area.IsEmpty()) return;

  TGIFGraphicControlExtension* ownControl = TransparentControl(frame);
  const bool hadTransparency = ownControl != nullptr;
  int transparent = hadTransparency ? ownControl->TransparentIndex() : -1;
  TGIFColorMap& colours = frame.EffectiveColors();
  // A frame without transparency needs a free entry for its new
  // transparent colour (and a map to put it in).
  if (!hadTransparency && (colours.Empty() || colours.EntryCount() >= TGIFColorMap::MaxEntries)) return;

  const TGIFGraphicControlExtension* previousControl = TransparentControl(*previous);
  const int previousTransparent = previousControl != nullptr ? previousControl->TransparentIndex() : -1;
  const TGIFColorMap& previousColours = previous->EffectiveColors();
  const bool sameMap = &colours == &previousColours;

  auto obtainIndex = [&]() {
    if (frame.LocalColors().Empty()) {
      // Frames drawing with the global map share one transparent entry.
      const TGIFImageList& frames = frame.OwnerImage()->Frames();
      for (int i = 0; i < frames.ItemCount(); ++i) {
        const TGIFSubImage& other = frames.FrameAt(i);
        if (&other == &frame || !other.LocalColors().Empty()) continue;
        if (const TGIFGraphicControlExtension* c = TransparentControl(other)) return int{c->TransparentIndex()};
      }
    }
    return colours.AppendColor(MakeColor(0, 0, 0));
  };

  const std::uint32_t kBeyond = 1U << 24;
  std::array<std::uint32_t, 256> ownIds;
  std::array<std::uint32_t, 256> previousIds;
  // On one map without a colour twice, a pixel repeats exactly when its
  // index does.
  bool byIndex = false;
  TTwinPair twins;
  auto identify = [&]() {
    IdentifyColours(colours, kBeyond, ownIds);
    IdentifyColours(previousColours, sameMap ? kBeyond : 2 * kBeyond, previousIds);
    byIndex = sameMap && AllDifferent(colours);
    twins = sameMap && !byIndex ? TwinPairOf(colours) : TTwinPair{};
  };
  identify();
  // A pixel over a transparent pixel of the earlier frame shows something
  // else. (A pixel already transparent needs no test: it stays the same.)
  const std::uint64_t previousHole = previousTransparent >= 0 ? previousTransparent : 0;

  const int width = frame.FrameWidth();
  const int previousWidth = previous->FrameWidth();
  const int span = area.Right - area.Left;
  std::uint8_t* own = frame.PixelData();
  const std::uint8_t* earlier = previous->PixelData();
  for (int y = area.Top; y < area.Bottom; ++y) {
    std::uint8_t* f = own + static_cast<std::size_t>(y - frame.FrameTop()) * width + (area.Left - frame.FrameLeft());
    const std::uint8_t* p =
        earlier + static_cast<std::size_t>(y - previous->FrameTop()) * previousWidth + (area.Left - previous->FrameLeft());
    int x = 0;
    // Until the frame has its transparent index, the first repeated pixel
    // has to take one (which may add an entry to the map).
    for (; x < span && transparent < 0; ++x) {
      if (p[x] == previousTransparent || ownIds[f[x]] != previousIds[p[x]]) continue;
      transparent = obtainIndex();
      identify();
      f[x] = static_cast<std::uint8_t>(transparent);
    }
    const auto hole = static_cast<std::uint8_t>(transparent);
    if (byIndex) {
      const std::uint64_t holes = kByteOnes * hole;
      for (; x + 8 <= span; x += 8) {
        const std::uint64_t word = Load8(f + x);
        const std::uint64_t before = Load8(p + x);
        std::uint64_t repeated = EqualBytes(word, before);
        if (previousTransparent >= 0) repeated &= ~EqualBytes(before, previousHole * kByteOnes);
        const std::uint64_t merged = (word & ~repeated) | (holes & repeated);
        std::memcpy(f + x, &merged, 8);
      }
    }
    while (x < span) {
      if (x + 8 <= span) {
        const std::uint64_t before = Load8(p + x);
        // Where the earlier frame is transparent, nothing repeats; a merged
        // frame is mostly transparent, and the next frame meets that.
        if (previousTransparent >= 0 && before == kByteOnes * previousHole) {
          x += 8;
          continue;
        }
        // On one map, eight equal indices all become transparent unless the
        // earlier frame is transparent there.
        const std::uint64_t word = Load8(f + x);
        if (sameMap && word == before && (previousTransparent < 0 || !AnyByteIs(word, previousHole))) {
          const std::uint64_t holes = kByteOnes * hole;
          std::memcpy(f + x, &holes, 8);
          x += 8;
          continue;
        }
        // On one map with one colour twice, eight pixels at once.
        if (twins.Found) {
          const std::uint64_t a = kByteOnes * twins.A;
          const std::uint64_t b = kByteOnes * twins.B;
          std::uint64_t repeated = EqualBytes(word, before) | (EqualBytes(word, a) & EqualBytes(before, b)) |
                                   (EqualBytes(word, b) & EqualBytes(before, a));
          if (previousTransparent >= 0) repeated &= ~EqualBytes(before, previousHole * kByteOnes);
          const std::uint64_t merged = (word & ~repeated) | (kByteOnes * hole & repeated);
          std::memcpy(f + x, &merged, 8);
          x += 8;
          continue;
        }
      }
      // Without branches: which pixels repeat is as good as random.
      const int stop = std::min(span, x + 8);
      for (; x < stop; ++x) {
        const bool repeated = (p[x] != previousTransparent) & (ownIds[f[x]] == previousIds[p[x]]);
        f[x] = repeated ? hole : f[x];
      }
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

}  // namespace tovasel
