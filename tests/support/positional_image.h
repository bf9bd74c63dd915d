// A small image whose every pixel says where it is, for the transform tests.
#pragma once

#include "thumbnail/dib_graphic.h"

namespace morvane::testing {

// Fills the image with a w x h raster: true colour (x, y, 100), or palette index (x + 3y) mod the
// palette size; resolution 1000 x 2000 pixels per metre.
void FillPositional(TDibGraphic& image, int w, int h, TPixelFormat format = pf24bit);

}  // namespace morvane::testing
