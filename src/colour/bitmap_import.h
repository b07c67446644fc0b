#pragma once

namespace tovasel {

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

}  // namespace tovasel
