#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/convert_options.h"
#include "app/frame_budget.h"
#include "app/frame_cache.h"
#include "imaging/limits.h"

namespace tovasel {

struct TIndexedPicture;
class TGIFImage;
class TGIFSubImage;

// Adds Picture (as its 24-bit drawing) as a new frame with its graphic control extension (delay, and
// the bottom-left pixel's index as transparent colour when Transparent); the
// first frame also gets the looping extension with loop count 0, before its
// graphic control extension. Returns the new frame's index.
int AppendGifFrame(TGIFImage& Document, const TIndexedPicture& Picture, bool Transparent,
                   std::uint16_t Delay);

// Colour index of the frame's pixel at column 0 of its bottom row.
std::uint8_t CornerColorIndex(TGIFSubImage& Frame);

// Where a conversion reads its frames and options and reports its progress.
struct TConversionInput {
  const TFrameCache* Frames = nullptr;
  std::uint16_t Speed = 0;
  std::uint16_t FlicType = 0;
  // Named in the refusal of a file without frames.
  std::string FileName;
  // Read afresh before every frame.
  std::function<TConvertOptions()> ReadOptions;
  // Progress maximum (position back to 0), then one step per frame.
  std::function<void(int maximum)> StartProgress;
  std::function<void()> StepProgress;
  // Named when the progress bar refuses the frame range.
  std::string ProgressBarName;
  // What the frames of the conversion may cost at most (see FramesCost).
  std::int64_t FrameBudget = TLimits{}.FrameBudget;
  // Runs the colour-map packing and frame compaction over the whole
  // document after every frame, the plain way; the default gets the same
  // document in time linear in the frame count.
  bool WholeDocumentPasses = false;
};

// Builds the GIF document of a conversion: frames 0..last of the cache
// (last from the limit when it is on, else the last cached frame), with the
// colour-map packing and frame compaction after every added frame.
// Raises EAppError for a file without frames (whatever the limit says: a
// limit would only repeat a blank frame) and for a bad limit, and
// GIFException from the GIF side.
std::unique_ptr<TGIFImage> BuildGifDocument(const TConversionInput& input);

// The refusal of a conversion whose file holds no frames.
std::string NoFramesMessage(const std::string& FileName);

// The frame index a conversion of frameCount frames ends at, checked as the
// progress bar would: the limit text as a number, or the last frame's index.
// Raises "'<text>' is not a valid integer value" or "<progressBarName>
// property out of range".
std::int64_t LastFrameIndex(const TConvertOptions& options, int frameCount, const std::string& progressBarName);

// The same for the cached frames, also refused when the frames would cost
// more than `available` budget units.
std::int64_t LastFrameIndex(const TConvertOptions& options, const TFrameCache& cache,
                            const std::string& progressBarName, std::int64_t available);

}  // namespace tovasel
