// The bridge from this system's rasters to the platform's bitmap handles, which is what the
// shell receives as a thumbnail. The caller owns the handle and frees it with DeleteObject.
#pragma once

#include "platform/raster.h"
#include "platform/windows_api.h"

namespace morvane {

// A new 24-bit device-independent bitmap handle with the raster's pixels; null for an empty
// raster or when the platform cannot make one.
HBITMAP CreateBitmapHandle(const TRaster& raster);

}  // namespace morvane
