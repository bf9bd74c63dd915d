// A raster as the platform's bitmap handle, which is what the shell receives as a thumbnail.
#pragma once

#include "platform/windows_api.h"
#include "thumbnail/imaging/raster.h"

namespace morvane {

// A new 24-bit bitmap handle with the raster's pixels; null for an empty raster or when the
// platform cannot make one. The caller frees it with DeleteObject.
HBITMAP CreateBitmapHandle(const TRaster& raster);
// The same as a 32-bit top-down handle, every pixel opaque.
HBITMAP CreateTopDownBitmapHandle(const TRaster& raster);

}  // namespace morvane
