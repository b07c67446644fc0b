#pragma once

namespace tovasel {

class TGIFColorMap;

// Orders the map by use (most used first, setting its sort flag), drops the
// unused entries at the end and remaps the frames that draw with it. Returns
// false, doing nothing, for a map of fewer than 2 entries and for the global
// map of a document without frames.
bool SortByUse(TGIFColorMap& map);

}  // namespace tovasel
