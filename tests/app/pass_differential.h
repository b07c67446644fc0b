#pragma once

// Builds the same conversion twice, once here with the whole-document
// passes after every frame and once as a conversion writes it (frame by
// frame, or with the incremental passes for Palette), and compares the
// written GIF streams byte for byte.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_error.h"
#include "app/conversion_session.h"
#include "app/frame_cache.h"
#include "app/frame_delays.h"
#include "app/frame_source.h"
#include "app/gif_conversion.h"
#include "colour/colour_map_optimizer.h"
#include "colour/frame_optimizer.h"
#include "colour/incremental_passes.h"
#include "app_test_support.h"
#include "gif/gif_image.h"
#include "support/shared_corpus.h"

namespace tovasel::testing {

struct TAnimationRecipe {
  int Width = 1;
  int Height = 1;
  int Frames = 1;
  unsigned Seed = 0;
  // How many distinct palette values the pictures draw from; few gives
  // repeats and runs, many gives more than the map can keep.
  int Inks = 8;
  // Palette changes draw any RGB value (else a few grey levels, so that
  // different indices often hold the same colour).
  bool WideColours = true;
};

// Random frames: identical repeats, small changed areas, palette changes of
// some or all entries, a changing bottom-left pixel, or a whole new picture.
inline TFrameCache MakeAnimation(const TAnimationRecipe& recipe) {
  std::mt19937 rng(recipe.Seed);
  const auto below = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const auto colour = [&]() -> TRGBQuad {
    if (recipe.WideColours) {
      return {static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()),
              static_cast<std::uint8_t>(rng()), 0};
    }
    const auto grey = static_cast<std::uint8_t>(below(4) * 85);
    return {grey, grey, static_cast<std::uint8_t>(below(2) * 255), 0};
  };
  const auto ink = [&] { return static_cast<std::uint8_t>(below(recipe.Inks)); };

  TFrameCache cache;
  cache.SetWidth(recipe.Width);
  cache.SetHeight(recipe.Height);
  const std::size_t w = static_cast<std::size_t>(recipe.Width);
  std::vector<std::uint8_t> pixels(w * static_cast<std::size_t>(recipe.Height));
  std::array<TRGBQuad, 256> colours{};
  for (auto& c : colours) c = colour();
  for (auto& p : pixels) p = ink();

  for (int f = 0; f < recipe.Frames; ++f) {
    if (f > 0) {
      switch (below(6)) {
        case 0:  // the same picture again
          break;
        case 1: {  // a small changed area
          const int left = below(recipe.Width);
          const int top = below(recipe.Height);
          const int right = std::min(recipe.Width, left + 1 + below(3));
          const int bottom = std::min(recipe.Height, top + 1 + below(3));
          const std::uint8_t value = ink();
          for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) pixels[static_cast<std::size_t>(y) * w + x] = value;
          }
          break;
        }
        case 2:  // some colours change
          for (int n = 1 + below(4); n > 0; --n) colours[static_cast<std::size_t>(below(recipe.Inks))] = colour();
          break;
        case 3:  // a new palette
          for (auto& c : colours) c = colour();
          break;
        case 4:  // the bottom-left pixel changes
          pixels[static_cast<std::size_t>(recipe.Height - 1) * w] = ink();
          break;
        default:  // a new picture
          for (auto& p : pixels) p = ink();
          break;
      }
    }
    TIndexedPicture picture;
    picture.Width = recipe.Width;
    picture.Height = recipe.Height;
    picture.TopRow = pixels.data();
    picture.RowStep = static_cast<std::ptrdiff_t>(w);
    picture.Colors = colours;
    cache.Add(picture);
  }
  return cache;
}

// The GIF a conversion of the cached frames writes, or the error that ended
// it: the route the options choose.
inline std::string ConvertedBytes(const TFrameCache& cache, const TConvertOptions& options,
                                  std::uint16_t speed = 70) {
  TConversionSettings settings;
  settings.Options = options;
  settings.Speed = speed;
  settings.FlicType = 0xAF12;
  try {
    TCachedFrames frames(cache);
    TGifConversion conversion(frames, settings);
    std::ostringstream out;
    conversion.WriteTo(out);
    return out.str();
  } catch (const std::exception& e) {
    return std::string("error: ") + e.what();
  }
}

// The same document built here, with the colour-map packing and frame
// compaction run over the whole document after every frame (Whole, the
// plain way every shortcut is measured against) or by the incremental
// passes. With ChangeAt, the boxes of Palette and Merge turn over after
// that frame, as a view whose boxes change would have them.
enum class TPasses { Whole, Incremental };

inline std::string PassBytes(const TFrameCache& cache, const TConvertOptions& options, TPasses passes,
                             std::uint16_t speed = 70, int changeAt = -1) {
  try {
    if (cache.Count() == 0) throw EAppError("no frames");
    const std::int64_t last = LastFrameIndex(options, cache.Count(), "Progress bar");
    TGIFImage document;
    if (options.ExactColours) document.SetReductionScheme(rsKeepColors);
    TIncrementalPasses incremental(document);
    for (std::int64_t i = 0; i <= last; ++i) {
      TConvertOptions now = options;
      if (changeAt >= 0 && i > changeAt) {
        now.Palette = !now.Palette;
        now.Merge = !now.Merge;
      }
      const int entry = static_cast<int>(std::min<std::int64_t>(i, cache.Count() - 1));
      AppendGifFrame(document, cache.Picture(entry), now.Transparent, WindowDelay(speed));
      TCompactOptions compact;
      if (now.Merge) compact |= coMergeUnchanged;
      if (now.Crop) compact |= coCropFrames;
      if (passes == TPasses::Whole) {
        if (now.Palette) PackColorMaps(document);
        if (!compact.Empty()) CompactFrames(document, compact, rsKeepColors, dkNone, 0);
      } else {
        incremental.AfterFrameAdded(now.Palette, compact);
      }
    }
    incremental.Finish();
    std::ostringstream out;
    document.SaveToStream(out);
    return out.str();
  } catch (const std::exception& e) {
    return std::string("error: ") + e.what();
  }
}

// Options from four bits (transparent, palette, merge, crop).
inline TConvertOptions OptionsFromBits(int bits, bool exactColours, bool limitBeyond, int frames) {
  TConvertOptions options;
  options.Transparent = (bits & 1) != 0;
  options.Palette = (bits & 2) != 0;
  options.Merge = (bits & 4) != 0;
  options.Crop = (bits & 8) != 0;
  options.ExactColours = exactColours;
  if (limitBeyond) {
    options.LimitOn = true;
    options.LimitText = std::to_string(frames + 2);
  }
  return options;
}

inline std::string OptionsName(const TConvertOptions& o) {
  std::string name;
  if (o.Transparent) name += " transparent";
  if (o.Palette) name += " palette";
  if (o.Merge) name += " merge";
  if (o.Crop) name += " crop";
  if (o.ExactColours) name += " exact-colours";
  if (o.LimitOn) name += " limit " + o.LimitText;
  return name.empty() ? " none" : name;
}

// Every combination of the four boxes, with and without a limit beyond the
// last frame: the two ways give the same bytes.
inline void ExpectSameBytesForEveryOptionSet(const TFrameCache& cache, bool exactColours,
                                             const std::string& what) {
  for (int limit = 0; limit < 2; ++limit) {
    for (int bits = 0; bits < 16; ++bits) {
      const TConvertOptions options = OptionsFromBits(bits, exactColours, limit != 0, cache.Count());
      const std::string reference = PassBytes(cache, options, TPasses::Whole);
      const std::string converted = ConvertedBytes(cache, options);
      ASSERT_EQ(reference.size(), converted.size()) << what << OptionsName(options);
      ASSERT_TRUE(reference == converted) << what << OptionsName(options) << ": bytes differ";
    }
  }
}

inline constexpr std::int64_t kLargestComparedFrame = 320 * 240;

inline std::vector<std::filesystem::path> CorpusFlicFiles() {
  namespace fs = std::filesystem;
  std::vector<fs::path> files;
  const fs::path folder = CorpusFolder();
  if (!fs::exists(folder)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string ext = entry.path().extension().string();
    if (entry.is_regular_file() && (ext == ".fli" || ext == ".flc")) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Opens a real file and compares both ways for every option set, with
// and without exact colours; a lastFrame of 0 or more stops there.
inline void ExpectSameBytesForCorpusFile(const std::filesystem::path& file, int lastFrame,
                                         bool plainColours = true, bool exactColours = true) {
  {
    // The damaged files' 4096 x 4096 frames take seconds each to reduce, and
    // nothing in the passes depends on the frame size.
    TFlicDecoder probe;
    probe.Open(file);
    if (std::int64_t{probe.Surface().Width()} * probe.Surface().Height() > kLargestComparedFrame) return;
  }
  RecordingView view;
  TConversionSession session(view);
  try {
    session.OpenFlicFile(file.string());
  } catch (const std::exception&) {
    return;  // refused files convert nothing either way
  }
  if (session.FrameCache.Count() == 0) return;
  for (int bits = plainColours ? 0 : 16; bits < (exactColours ? 32 : 16); ++bits) {
    TConvertOptions options = OptionsFromBits(bits & 15, (bits & 16) != 0, false, 0);
    if (lastFrame >= 0) {
      options.LimitOn = true;
      options.LimitText = std::to_string(lastFrame);
    }
    const std::uint16_t speed = session.FlicDecoder.Speed();
    const std::string reference = PassBytes(session.FrameCache, options, TPasses::Whole, speed);
    const std::string converted = ConvertedBytes(session.FrameCache, options, speed);
    ASSERT_TRUE(reference == converted) << file.filename() << OptionsName(options) << ": bytes differ";
  }
}

}  // namespace tovasel::testing
