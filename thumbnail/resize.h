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
  // The size of the picture the image was decoded from at a reduced scale (its size divided by
  // 2, 4 or 8, rounded up); zero when the image is the picture. Averaging then covers the
  // picture exactly, as an average of the whole picture would.
  int PictureWidth = 0;
  int PictureHeight = 0;

  // The scale (2, 4 or 8) by which a picture of `picture_width` x `picture_height` was reduced
  // to an image of `width` x `height` (the picture's size divided, rounded up); 1 when it was
  // not.
  static int ReductionOf(int width, int height, int picture_width, int picture_height);
  // Whether an image of this format and size is area-averaged.
  static bool UsesHalftone(const TDibGraphic& image);
  static bool UsesHalftone(TPixelFormat format, int64_t pixels);
  // Replaces the image by the stretched image. An empty image stays empty.
  void ApplyTo(TDibGraphic& image) const;
};

}  // namespace morvane
