// TResizeTransform: stretches an image to a given size, keeping its pixel format, palette and
// resolution. A true-colour image of more than 1024 pixels is area-averaged (halftone); every
// other image takes one source pixel per destination pixel (colour-on-colour).
#pragma once

#include "thumbnail/dib_graphic.h"

namespace morvane {

class TResizeTransform {
 public:
  int Width = 300;
  int Height = 200;

  // Whether an image of this format and size is area-averaged.
  static bool UsesHalftone(const TDibGraphic& image);
  static bool UsesHalftone(TPixelFormat format, int64_t pixels);
  // Replaces the image by the stretched image. An empty image stays empty.
  void ApplyTo(TDibGraphic& image) const;
};

}  // namespace morvane
