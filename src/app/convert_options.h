#pragma once

#include <string>

namespace tovasel {

// What the window's option boxes, limit field and Option menu say, read
// once at the start of a conversion (nothing can change them while it
// runs), or what the command line's options ask for.
struct TConvertOptions {
  bool Transparent = false;  // "Transparence"
  bool Palette = false;      // "Palette"
  bool Merge = false;        // "Merge"
  bool Crop = false;         // "Crop"
  bool LimitOn = false;      // frame limit box
  std::string LimitText;     // frame limit field, taken as typed
  // Keep each frame's FLIC colours exactly instead of the 216-colour cube.
  bool ExactColours = false;
  // Frame delays from the speed in its true unit, without drift.
  bool ExactTiming = false;
  // 0, or 1 or 2 for the smallest lossless GIF of the exact colours (2 tries
  // more); it replaces Palette, Merge and Crop.
  int Optimize = 0;
};

}  // namespace tovasel
