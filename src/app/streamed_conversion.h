#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/convert_options.h"
#include "imaging/indexed_picture.h"

namespace tovasel {


// True when every GIF frame is final as soon as it is built: Palette packs
// later colours into the earlier frames' shared table, Merge and Crop look
// back at the frames before, and the smallest lossless GIF is chosen over
// all frames. Without them a conversion can write each frame at once.
bool StreamsFrames(const TConvertOptions& options);

// The pictures and settings of a conversion that writes as it decodes.
struct TStreamedInput {
  // How many pictures NextPicture can draw; frames past them repeat the
  // last picture, as with a limit beyond the frame cache.
  int FrameCount = 0;
  // The next picture, in the frame cache's order; it stays valid until the
  // next call.
  std::function<TIndexedPicture()> NextPicture;
  std::uint16_t Speed = 0;
  std::uint16_t FlicType = 0;
  // Named in the refusal of a file without frames.
  std::string FileName;
  TConvertOptions Options;
  std::function<void(int maximum)> StartProgress;
  std::function<void()> StepProgress;
  // Named when the progress bar refuses the frame range.
  std::string ProgressBarName;
};

// Writes the GIF file that BuildGifDocument and StoreToFile write for the
// same pictures and options (which StreamsFrames accepts), byte for byte,
// while holding no more than two frames: each one goes out as soon as it
// is built. Returns the number of GIF frames written. Raises what those
// raise, except the frame budget's refusal; a failed conversion leaves
// OutputPath as it was.
int StreamGifConversion(const TStreamedInput& input, const std::string& OutputPath);

}  // namespace tovasel
