// Filling a GIF frame from a bitmap: indexed bitmaps are copied with their
// colour table, every other bitmap is first reduced by the document's
// reduction settings.

#include "colour/bitmap_import.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "colour/colour_map_sort.h"
#include "colour/index_loops.h"
#include "colour/quantize_bitmap.h"
#include "gif/frame_transparency.h"
#include "gif/gif_image.h"
#include "gif/graphic_control_extension.h"
#include "gif/progress.h"
#include "gif/sub_image.h"
#include "imaging/byte_words.h"
#include "imaging/dib.h"
#include "imaging/indexed_picture.h"

namespace tovasel {

namespace {

constexpr const char* kConverting = "Converting...";

// Progress is reported before every 32nd row.
constexpr int kProgressRows = 32;

int RoundedPercent(int row, int height) {
  return static_cast<int>((static_cast<std::int64_t>(row) * 200 + height) / (2 * static_cast<std::int64_t>(height)));
}

void LoadColorTable(TGIFColorMap& map, const TBitmap& bitmap) {
  const auto& table = bitmap.ColorTable();
  const std::size_t count = std::min<std::size_t>(table.size(), TGIFColorMap::MaxEntries);
  map.LoadRGBQuads(std::span<const TRGBQuad>(table.data(), count));
}

// Remembers the last few colours met with their map indices, so that runs
// of repeated colours do not search the colour map.
class TRecentColors {
 public:
  // The index of `color`, or -1. Searches backwards from the last slot used.
  int Find(TColor color) {
    int slot = last_;
    for (int n = 0; n < kSlots; ++n) {
      if (!used_[slot]) return -1;
      if (colors_[slot] == color) {
        last_ = slot;
        return indices_[slot];
      }
      slot = (slot + kSlots - 1) % kSlots;
    }
    return -1;
  }
  void Remember(TColor color, int index) {
    last_ = (last_ + 1) % kSlots;
    colors_[last_] = color;
    indices_[last_] = index;
    used_[last_] = true;
  }

 private:
  static constexpr int kSlots = 8;
  std::array<TColor, kSlots> colors_{};
  std::array<int, kSlots> indices_{};
  std::array<bool, kSlots> used_{};
  int last_ = 0;
};

// Calls learn, in the row's order, for each index not known yet.
template <typename Learn>
void LearnNewIndices(const std::uint8_t* row, int width, const std::array<bool, 256>& known, Learn learn) {
  int x = 0;
  // A word of one index, the common case, is looked at once.
  for (; x + 8 <= width; x += 8) {
    if (Uniform(Load8(row + x))) {
      if (!known[row[x]]) learn(row[x]);
      continue;
    }
    for (int k = x; k < x + 8; ++k) {
      if (!known[row[k]]) learn(row[k]);
    }
  }
  for (; x < width; ++x) {
    if (!known[row[x]]) learn(row[x]);
  }
}

}  // namespace

void ImportBitmap(TGIFSubImage& frame, const TBitmap& bitmap) {
  frame.Clear();
  if (bitmap.Empty()) return;
  frame.Place(frame.FrameLeft(), frame.FrameTop(), bitmap.Width(), bitmap.Height());

  TGIFImage& document = *frame.OwnerImage();
  // The caller's bitmap is only read. Indexed rows are taken as they are,
  // and so are the colours themselves when they are to be kept (the reader
  // widens other layouts to 24 bits in a copy of its own); anything else is
  // first reduced into a new indexed image.
  TBitmap reduced;
  const TBitmap* source = &bitmap;
  if (!IsIndexed(bitmap.PixelFormat()) && document.ReductionScheme() != rsKeepColors) {
    reduced = QuantizeBitmap(bitmap, document.ReductionScheme(), document.DitherKind(),
                             document.ReductionColorBits(), nullptr);
    source = &reduced;
  }

  frame.AllocPixels();
  TProgressScope progress(document, kConverting);

  TPixelFormat format = source->PixelFormat();
  if (!IsIndexed(format)) format = TPixelFormat::pf24bit;
  TDIBReader reader(*source, format);

  const int width = frame.FrameWidth();
  const int height = frame.FrameHeight();
  TGIFLocalColorMap& colours = frame.LocalColors();
  if (format != TPixelFormat::pf24bit) LoadColorTable(colours, *source);
  TRecentColors recent;

  for (int y = 0; y < height; ++y) {
    if (y % kProgressRows == 0) progress.Running(RoundedPercent(y, height));
    const std::uint8_t* in = reader.ScanLine(y);
    std::uint8_t* out = frame.RowAt(y);
    switch (format) {
      case TPixelFormat::pf8bit:
        std::copy(in, in + width, out);
        break;
      case TPixelFormat::pf4bit:
        for (int x = 0; x < width; ++x) out[x] = (x & 1) ? (in[x >> 1] & 0x0F) : (in[x >> 1] >> 4);
        break;
      case TPixelFormat::pf1bit:
        for (int x = 0; x < width; ++x) out[x] = (in[x >> 3] >> (7 - (x & 7))) & 1;
        break;
      default:
        // Distinct colours enter the map in order of first appearance.
        for (int x = 0; x < width; ++x, in += 3) {
          const TColor color = MakeColor(in[2], in[1], in[0]);
          int index = recent.Find(color);
          if (index < 0) {
            index = colours.FindColor(color);
            if (index < 0) index = colours.AppendColor(color);
            recent.Remember(color, index);
          }
          out[x] = static_cast<std::uint8_t>(index);
        }
        break;
    }
  }

  if (bitmap.Transparent() && bitmap.Mask().size() == frame.PixelDataSize()) {
    // Pixels the mask hides get one new black entry, placed after the used
    // colours so that it does not displace any of them.
    SortByUse(colours);
    const int count = colours.EntryCount();
    if (count >= 1 && count <= 255) {
      const int transparent = colours.AppendColor(MakeColor(0, 0, 0));
      const std::uint8_t* mask = bitmap.Mask().data();
      std::uint8_t* pixels = frame.PixelData();
      bool used = false;
      for (std::size_t i = 0; i < frame.PixelDataSize(); ++i) {
        if (mask[i] != 0) {
          pixels[i] = static_cast<std::uint8_t>(transparent);
          used = true;
        }
      }
      if (used) {
        auto control = std::make_unique<TGIFGraphicControlExtension>(frame);
        control->SetIsTransparent(true);
        control->SetTransparentIndex(transparent);
        frame.FrameExtensions().Append(std::move(control));
      } else {
        colours.RemoveColor(transparent);
      }
    }
  }
  progress.Succeeded();
}

void ImportPicture(TGIFSubImage& frame, const TIndexedPicture& picture) {
  TGIFImage& document = *frame.OwnerImage();
  const TReductionScheme scheme = document.ReductionScheme();
  std::array<std::uint8_t, 256> entries{};
  std::vector<TRGBQuad> cubeTable;
  const bool keep = scheme == rsKeepColors;
  const bool cube =
      !keep && ReducesColoursAlone(scheme, document.DitherKind(), picture.Colors, entries, cubeTable);
  if ((!keep && !cube) || picture.Width <= 0 || picture.Height <= 0) {
    TBitmap drawn;
    DrawPicture(picture, drawn);
    ImportBitmap(frame, drawn);
    return;
  }

  frame.Clear();
  // The cleared frame takes its new size, and with it a store of that size
  // that the rows below fill.
  frame.PlaceForOverwrite(frame.FrameLeft(), frame.FrameTop(), picture.Width, picture.Height);
  TProgressScope progress(document, kConverting);
  TGIFLocalColorMap& colours = frame.LocalColors();
  if (cube) colours.LoadRGBQuads(std::span<const TRGBQuad>(cubeTable.data(), cubeTable.size()));
  // Kept colours enter the map in order of first appearance, so an index
  // learns its entry when it is first met; equal colours share the first.
  std::array<bool, 256> known{};
  known.fill(cube);

  const auto learn = [&](std::uint8_t i) {
    const TRGBQuad& q = picture.Colors[i];
    const TColor color = MakeColor(q.rgbRed, q.rgbGreen, q.rgbBlue);
    int index = colours.FindColor(color);
    if (index < 0) index = colours.AppendColor(color);
    entries[i] = static_cast<std::uint8_t>(index);
    known[i] = true;
  };

  const int width = picture.Width;
  const int height = picture.Height;
  for (int y = 0; y < height; ++y) {
    if (y % kProgressRows == 0) progress.Running(RoundedPercent(y, height));
    const std::uint8_t* in = picture.Row(y);
    if (keep) LearnNewIndices(in, width, known, learn);
    TranslatePixels(in, frame.RowAt(y), static_cast<std::size_t>(width), entries);
  }
  progress.Succeeded();
}

int AddFrame(TGIFImage& document, const TIndexedPicture& picture) {
  auto frame = std::make_unique<TGIFSubImage>(document);
  ImportPicture(*frame, picture);
  return document.AddFrame(std::move(frame));
}

int AddFrame(TGIFImage& document, const TBitmap& source) {
  auto frame = std::make_unique<TGIFSubImage>(document);
  // The frame is not in the list during the import, so a failed import
  // leaves the document without it.
  ImportBitmap(*frame, source);
  return document.AddFrame(std::move(frame));
}

}  // namespace tovasel
