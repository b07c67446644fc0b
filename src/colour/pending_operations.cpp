// Temporary placeholders for the colour-side operations that the GIF document
// model declares (frame import, colour-map optimisation, frame optimisation).
// They let the library link while those passes are being written; whoever
// implements one of them deletes its placeholder from this file, and the file
// goes away once it is empty.

#include <vector>

#include "gif/color_map.h"
#include "gif/gif_exception.h"
#include "gif/gif_image.h"
#include "gif/sub_image.h"
#include "imaging/bitmap.h"

namespace tovasel {

void TGIFSubImage::ImportBitmap(const TBitmap&) { throw GIFException("Not implemented"); }
void TGIFSubImage::CropToContent() { throw GIFException("Not implemented"); }
void TGIFSubImage::MergeWithPrevious(TGIFSubImage*) { throw GIFException("Not implemented"); }

void TGIFImage::PackColorMaps() { throw GIFException("Not implemented"); }
void TGIFImage::CompactFrames(TCompactOptions, TReductionScheme, TDitherKind, int) {
  throw GIFException("Not implemented");
}

void TGIFColorMap::CountUses(std::vector<TColorUsage>&) const {
  throw GIFException("Not implemented");
}
void TGIFColorMap::RemapFrames(const TColorTranslation&) { throw GIFException("Not implemented"); }
bool TGIFColorMap::SortByUse() { throw GIFException("Not implemented"); }

void TGIFGlobalColorMap::CountUses(std::vector<TColorUsage>&) const {
  throw GIFException("Not implemented");
}
void TGIFGlobalColorMap::RemapFrames(const TColorTranslation&) {
  throw GIFException("Not implemented");
}
bool TGIFGlobalColorMap::SortByUse() { throw GIFException("Not implemented"); }

void TGIFLocalColorMap::CountUses(std::vector<TColorUsage>&) const {
  throw GIFException("Not implemented");
}
void TGIFLocalColorMap::RemapFrames(const TColorTranslation&) {
  throw GIFException("Not implemented");
}

}  // namespace tovasel
