// Bitmap handles, which is what the shell receives as a thumbnail: a new 24-bit bottom-up
// device-independent bitmap whose rows the caller fills. The caller owns the handle and frees
// it with DeleteObject.
#pragma once

#include <functional>

#include "platform/windows_api.h"

namespace morvane {

// Writes the 3 * width blue-green-red bytes of row `y` (0 is the top row) at `row`.
using TBitmapRowFill = std::function<void(LONG y, BYTE* row)>;

// A new 24-bit handle of width x height pixels, each row zeroed (padding included) and then
// handed to `fill`; null for an empty size or when the platform cannot make one.
HBITMAP CreateBitmapHandle24(LONG width, LONG height, const TBitmapRowFill& fill);
// A new 32-bit top-down handle (rows of 4 * width blue-green-red-alpha bytes, no padding), each
// row zeroed and handed to `fill`; what today's shell takes from a thumbnail provider.
HBITMAP CreateBitmapHandle32(LONG width, LONG height, const TBitmapRowFill& fill);

}  // namespace morvane
