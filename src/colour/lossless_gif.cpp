#include "colour/lossless_gif.h"

#include <algorithm>
#include <ostream>
#include <unordered_map>
#include <vector>

#include "colour/changed_box.h"
#include "colour/frame_symbols.h"
#include "colour/global_table_plan.h"
#include "colour/lossless_frame_chooser.h"
#include "gif/gif_exception.h"
#include "gif/gif_stream_writer.h"

namespace tovasel {

namespace {

// Introducer, label, block size, four bytes of fields, terminator.
constexpr std::size_t kGraphicControlSize = 8;

// Browsers and most viewers show a delay of 0 or 1 hundredth as 10, so two
// frames with such a delay play longer apart than as one frame with their
// sum; from 2 hundredths on, each is shown as written.
constexpr std::uint32_t kShortestHonouredDelay = 2;

bool JoinsDelays(std::uint32_t pending, std::uint16_t next) {
  return pending >= kShortestHonouredDelay && next >= kShortestHonouredDelay && pending + next <= 0xFFFF;
}

// Walks the source's pictures once and writes each run of equal pictures as
// one frame over what the frames before leave on the screen.
class TLosslessEncoder {
 public:
  TLosslessEncoder(const TLosslessSource& source, int level, std::vector<std::int32_t> global, std::ostream& stream)
      : source_(source), chooser_(std::move(global), level), writer_(stream) {
    const std::size_t pixels = static_cast<std::size_t>(source.Width) * source.Height;
    shown_.assign(pixels, kClearPixel);
    pending_.resize(pixels);
    next_.resize(pixels);
  }

  int Run() {
    WriteHead();
    std::int64_t frames = 0;
    std::uint32_t pendingDelay = 0;
    for (std::int64_t i = 0; i < source_.Count; ++i) {
      if (source_.Step) source_.Step();
      std::uint16_t delay = 0;
      const std::int32_t* picture = source_.Picture(i, delay);
      std::copy(picture, picture + next_.size(), next_.begin());
      // A picture equal to the one before only lengthens it, where viewers
      // show the summed delay as long as the delays apart.
      if (i > 0 && JoinsDelays(pendingDelay, delay) && next_ == pending_) {
        pendingDelay += delay;
        continue;
      }
      if (i > 0) {
        EmitFrame(static_cast<std::uint16_t>(pendingDelay), &next_, frames == 0);
        ++frames;
      }
      std::swap(pending_, next_);
      pendingDelay = delay;
    }
    if (source_.Count > 0) EmitFrame(static_cast<std::uint16_t>(pendingDelay), nullptr, frames == 0);
    writer_.Finish();
    return writer_.ImagesWritten();
  }

 private:
  void WriteHead() {
    TGifHead head;
    head.ScreenWidth = static_cast<std::uint16_t>(source_.Width);
    head.ScreenHeight = static_cast<std::uint16_t>(source_.Height);
    const std::vector<std::int32_t>& global = chooser_.Global();
    if (!global.empty()) {
      const int bits = chooser_.GlobalBits();
      head.Packed = static_cast<std::uint8_t>(0x80 | ((bits - 1) << 4) | (bits - 1));
      globalTable_.reserve(global.size());
      for (const std::int32_t c : global) {
        globalTable_.push_back({static_cast<std::uint8_t>((c >> 16) & 0xFF), static_cast<std::uint8_t>((c >> 8) & 0xFF),
                                static_cast<std::uint8_t>(c & 0xFF)});
      }
      head.GlobalTable = globalTable_;
    }
    writer_.WriteHead(head);
  }

  // Writes pending_ as a frame over shown_; Next is the picture after it,
  // whose cleared pixels this frame's disposal must clear.
  void EmitFrame(std::uint16_t delay, const std::vector<std::int32_t>* next, bool first) {
    const int width = source_.Width, height = source_.Height;
    TBox box = BoxWhere(pending_.data(), shown_.data(), width, height,
                        [](std::int32_t a, std::int32_t b) { return a != b; });
    TBox clearing;
    if (next != nullptr) {
      // A pixel that clears differs, so equal rows hold none.
      clearing = BoxWhere(pending_.data(), next->data(), width, height,
                          [](std::int32_t a, std::int32_t b) { return a != kClearPixel && b == kClearPixel; });
    }
    box.Include(clearing);
    // The format has no empty frame: one pixel shows its picture again.
    if (box.Empty()) box = {0, 0, std::min(width, 1), std::min(height, 1)};
    const int disposal = clearing.Empty() ? 1 : 2;

    CollectSymbols(box);
    // Without a delay, transparency or clearing, a frame shows the same
    // without its graphic control extension; transparency then costs it.
    const bool control = delay != 0 || disposal == 2;
    const std::size_t transparencyCost = control ? 0 : kGraphicControlSize;
    TEncodedFrame best = chooser_.Best(symbols_, box.Width(), box.Height(), transparencyCost);
    // The plain conversion writes the whole screen in a table of its own;
    // a frame that changes much of it may cost less that way than its box
    // does (clearing the whole screen after it would cost the next frame).
    const auto cost = [transparencyCost](const TEncodedFrame& frame) {
      return frame.Size() + (frame.TransparentIndex >= 0 ? transparencyCost : 0);
    };
    const std::int64_t screenArea = static_cast<std::int64_t>(width) * height;
    const std::int64_t boxArea = static_cast<std::int64_t>(box.Width()) * box.Height();
    if (disposal == 1 && boxArea < screenArea && 2 * boxArea >= screenArea) {
      const TBox screen{0, 0, width, height};
      CollectSymbols(screen);
      TEncodedFrame whole;
      if (chooser_.Plain(symbols_, whole) && cost(whole) < cost(best)) {
        best = std::move(whole);
        box = screen;
      }
    }

    if (first) writer_.WriteLoop(0);
    if (control || best.TransparentIndex >= 0) {
      writer_.WriteGraphicControl({static_cast<std::uint8_t>((disposal << 2) | (best.TransparentIndex >= 0 ? 1 : 0)),
                                   delay, static_cast<std::uint8_t>(std::max(best.TransparentIndex, 0))});
    }
    const TGifImageHead image{static_cast<std::uint16_t>(box.Left), static_cast<std::uint16_t>(box.Top),
                              static_cast<std::uint16_t>(box.Width()), static_cast<std::uint16_t>(box.Height()),
                              static_cast<std::uint8_t>((best.Local ? 0x80 | (best.LocalBits - 1) : 0) |
                                                        (best.Interlaced ? 0x40 : 0))};
    writer_.WriteImageHead(image, best.LocalTable);
    writer_.WriteImageData(best.Data);

    // What a decoder shows before the next frame; outside the box the shown
    // picture already is the pending one.
    for (int y = box.Top; y < box.Bottom; ++y) {
      const std::size_t row = static_cast<std::size_t>(y) * width;
      std::int32_t* shown = shown_.data() + row;
      if (disposal == 2) {
        std::fill(shown + box.Left, shown + box.Right, kClearPixel);
      } else {
        std::copy(pending_.data() + row + box.Left, pending_.data() + row + box.Right, shown + box.Left);
      }
    }
  }

  // The box's pixels as colour ids in order of appearance, and which of
  // them repeat what is shown already.
  void CollectSymbols(const TBox& box) {
    const int width = source_.Width;
    const std::size_t count = static_cast<std::size_t>(box.Width()) * box.Height();
    symbols_.Symbols.resize(count);
    symbols_.Unchanged.resize(count);
    symbols_.Colours.clear();
    ids_.clear();
    std::int32_t lastColour = kClearPixel;
    std::uint16_t lastId = kTransparentSymbol;
    std::size_t k = 0;
    for (int y = box.Top; y < box.Bottom; ++y) {
      const std::int32_t* target = pending_.data() + static_cast<std::size_t>(y) * width;
      const std::int32_t* shown = shown_.data() + static_cast<std::size_t>(y) * width;
      for (int x = box.Left; x < box.Right; ++x, ++k) {
        const std::int32_t colour = target[x];
        symbols_.Unchanged[k] = colour == shown[x];
        if (colour == kClearPixel) {
          // Only a pixel nothing ever painted (or a disposal cleared) can
          // stay clear; a painted one would need the disposal before.
          if (!symbols_.Unchanged[k]) throw GIFException("Cannot clear a pixel without disposal");
          symbols_.Symbols[k] = kTransparentSymbol;
          continue;
        }
        if (colour != lastColour) {
          auto [it, added] = ids_.try_emplace(colour, static_cast<std::uint16_t>(symbols_.Colours.size()));
          if (added) symbols_.Colours.push_back(colour);
          lastColour = colour;
          lastId = it->second;
        }
        symbols_.Symbols[k] = lastId;
      }
    }
  }

  const TLosslessSource& source_;
  TLosslessFrameChooser chooser_;
  TGifStreamWriter writer_;
  std::vector<TGIFColor> globalTable_;
  std::vector<std::int32_t> shown_, pending_, next_;
  TFrameSymbols symbols_;
  std::unordered_map<std::int32_t, std::uint16_t> ids_;
};

}  // namespace

int EncodeLosslessGif(const TLosslessSource& source, int level, std::ostream& stream) {
  const TColourUse use = CountColours(source);
  // The table order whose estimate is smaller; measuring the orders in
  // trial passes found the estimate's choice within a few bytes.
  std::vector<std::int32_t> covers = GlobalColours(use, TGlobalOrder::Covers);
  std::vector<std::int32_t> frames = GlobalColours(use, TGlobalOrder::Frames);
  if (EstimatedBits(use, frames) < EstimatedBits(use, covers)) std::swap(covers, frames);
  return TLosslessEncoder(source, level, std::move(covers), stream).Run();
}

}  // namespace tovasel
