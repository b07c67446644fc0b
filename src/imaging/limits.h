#pragma once

#include <cstddef>
#include <cstdint>

namespace tovasel {

// A quarter of the machine's physical memory, and never less than 1 GiB:
// what the frames of one conversion may hold unless the caller says
// otherwise.
std::int64_t DefaultFrameBudget();

// How much input the program takes on before it refuses rather than
// allocates. The defaults suit a desktop machine; a caller with less memory,
// or a test that wants to reach a limit quickly, sets its own and hands the
// structure to what it opens, which passes it down.
struct TLimits {
  // Budget units (about a byte each, see FramesCost) that the frames of one
  // conversion may hold at once: the frame cache and what the conversion
  // holds together, or the pictures `frames` writes. A file, frame limit or
  // batch beyond it is refused or held back up front, not half-way.
  std::int64_t FrameBudget = DefaultFrameBudget();
  // Largest FLIC picture, in pixels, that is opened at all; a larger one is
  // refused from its header, before anything is allocated.
  std::uint64_t MaxFramePixels = std::uint64_t{1} << 24;
  // Largest FLIC file, in bytes of what its header's size covers, that is
  // read whole into memory when it is opened and closed at once, so that
  // the file is not held while its frames are shown and changes to it do
  // not reach them. Every real FLIC file is far smaller; a larger one stays
  // open and is read chunk by chunk as its frames are decoded, so that
  // memory does not grow with it.
  std::uint64_t WholeFileBytes = std::uint64_t{64} << 20;
  // Largest size in bytes of the player's display caches (PreRender,
  // Transparent); beyond it the player decodes and paints every frame as it
  // would without them.
  std::size_t MaxDisplayCacheBytes = std::size_t{256} << 20;
  // Largest width or height of a JPEG picture that is decoded.
  int MaxJpegSide = 8192;
};

}  // namespace tovasel
