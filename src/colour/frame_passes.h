#pragma once

#include "gif/reduction_settings.h"

namespace tovasel {

class TGIFImageList;
class TGIFSubImage;

// One frame's share of the compaction passes, shared by the whole-document
// passes and the conversion's incremental ones so that both do the same.

// The frame that frame k (k >= 1) is merged against: the one before it,
// passing over frames restored to what was there before them.
int MergeSourceIndex(const TGIFImageList& frames, int k);

// Cuts a transparent frame down to the rectangle of its visible pixels; a
// frame with nothing visible is emptied.
void CropToContent(TGIFSubImage& frame);

// Makes the pixels of `frame` that repeat `previous` (an earlier frame)
// transparent, taking a new black entry for them when the frame had no
// transparent colour. Frames on the global map share one transparent index.
void MergeWithPrevious(TGIFSubImage& frame, TGIFSubImage* previous);

enum class TCropResult { crSkipped, crCropped, crDeleted };

// Crops frame j when it is transparent; a frame left with nothing visible
// is deleted and its delay goes to the frame before it when that one is
// transparent.
TCropResult CropFrameAt(TGIFImageList& frames, int j);

// What compacting the whole document after an added frame does to that
// frame, the last of Frames, when every frame before it was compacted the
// same way already (which then stays as it is): merged against the frame
// it builds on, then cropped. False when the crop deleted it.
bool CompactNewestFrame(TGIFImageList& frames, TCompactOptions compact);

}  // namespace tovasel
