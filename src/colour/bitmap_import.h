#pragma once

namespace tovasel {

struct TIndexedPicture;
class TBitmap;
class TGIFImage;
class TGIFSubImage;

// Replaces the frame's size, pixels and local colour map with the bitmap:
// an indexed bitmap is copied with its colour table, any other is first
// reduced to at most 256 colours by the owner document's reduction
// settings. Reports "Converting..." progress through the document.
void ImportBitmap(TGIFSubImage& frame, const TBitmap& bitmap);

// Creates a frame of the document, imports the bitmap into it and appends
// it; returns the new frame's index. A failed import adds no frame and
// propagates.
int AddFrame(TGIFImage& document, const TBitmap& source);

// Imports the 24-bit bitmap DrawPicture would make of the picture, with the
// same result and progress, but for the reductions that depend on each
// colour alone (the cube without diffusion, and keeping the colours) maps
// the 256 colours once instead of every pixel.
void ImportPicture(TGIFSubImage& frame, const TIndexedPicture& picture);

// AddFrame of the 24-bit bitmap DrawPicture would make of the picture.
int AddFrame(TGIFImage& document, const TIndexedPicture& picture);

}  // namespace tovasel
