#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "app/convert_options.h"
#include "imaging/limits.h"

namespace tovasel {

struct TIndexedPicture;
class TFrameSource;
class TGIFImage;
class TGIFSubImage;

// Adds Picture as a new frame with its graphic control extension (delay,
// and the bottom-left pixel's index as transparent colour when
// Transparent); the first frame of a document also gets the looping
// extension with loop count 0, before its graphic control extension.
// Returns the new frame's index.
int AppendGifFrame(TGIFImage& Document, const TIndexedPicture& Picture, bool Transparent, std::uint16_t Delay);

// Colour index of the frame's pixel at column 0 of its bottom row.
std::uint8_t CornerColorIndex(TGIFSubImage& Frame);

// What a conversion needs besides its pictures.
struct TConversionSettings {
  TConvertOptions Options;
  std::uint16_t Speed = 0;
  std::uint16_t FlicType = 0;
  // Named in refusals.
  std::string FileName;
  // Progress maximum (position back to 0), then one step per frame.
  std::function<void(int maximum)> StartProgress;
  std::function<void()> StepProgress;
  // Named when the progress bar refuses the frame range.
  std::string ProgressBarName = "Progress bar";
  // What the conversion's own frames may hold at once, in budget units
  // (see FramesCost); pictures held by the source do not count here.
  std::int64_t Budget = TLimits{}.FrameBudget;
};

// One GIF conversion, whichever door it comes through: the window's Convert
// and batch from the frame cache, the command line's convert and batches
// straight from the decoder. The options decide what it holds:
// - no option, transparency, the exact modes, Merge and Crop: a frame or
//   two at a time, each written as soon as nothing later can change it;
// - Palette: every frame, one byte per pixel, since each packing renumbers
//   the frames before;
// - the smallest lossless GIF: a few pictures, reading the source once per
//   pass it needs.
class TGifConversion {
 public:
  // Checks everything that can be checked before a file is touched, in the
  // window's order: a source without pictures ("FLIC file <name> has no
  // frames to convert", whatever the limit says), the limit text, the
  // progress range, and what the options would hold against the budget;
  // then starts the progress display at Last + 1. A limit of -1 then raises
  // "Unsupported GIF version", as storing a document without frames does.
  // Raises EAppError or GIFException.
  TGifConversion(TFrameSource& frames, TConversionSettings settings);

  // Frames 0 .. Last of the source are converted; past the source's end
  // its last picture repeats.
  std::int64_t Last() const { return last_; }

  // Writes the GIF to Stream, which must be able to seek back over what it
  // was given; returns the number of GIF frames written. Raises what the
  // GIF side raises; what reached the stream is then of no use.
  int WriteTo(std::ostream& stream);

 private:
  int WriteFrameByFrame(std::ostream& stream);
  int WriteFrameByFrame(const TConversionSettings& settings, std::ostream& stream);
  int WriteDocument(std::ostream& stream);
  int WriteSmallest(std::ostream& stream);

  TFrameSource& frames_;
  TConversionSettings settings_;
  std::int64_t last_ = -1;
};

// The GIF document of a conversion, every frame in memory, with the
// colour-map packing and frame compaction after every added frame. The
// Palette option's route; tests compare the other routes with it.
std::unique_ptr<TGIFImage> BuildGifDocument(TFrameSource& Frames, const TConversionSettings& Settings,
                                            std::int64_t Last);

// A size no plain GIF of Frames pictures of Pixels pixels each can go below,
// whatever their content: the smallest GIF skips measuring the plain one
// when it is smaller still.
std::int64_t PlainGifLowerBound(std::int64_t frames, std::int64_t pixels);

// The refusal of a conversion whose file holds no frames.
std::string NoFramesMessage(const std::string& FileName);

// The frame index a conversion of frameCount frames ends at, checked as the
// progress bar would: the limit text as a number, or the last frame's index.
// Raises "'<text>' is not a valid integer value" or "<progressBarName>
// property out of range".
std::int64_t LastFrameIndex(const TConvertOptions& options, int frameCount, const std::string& progressBarName);

// "1,200 MiB": units (about a byte each) in MiB (in KiB below one MiB),
// rounded up, with thousands separated, for refusals that name what a file
// would need.
std::string MemoryText(std::int64_t units);

}  // namespace tovasel
