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

  // Whether an image of this format and size is area-averaged.
  static bool UsesHalftone(const TDibGraphic& image);
  static bool UsesHalftone(TPixelFormat format, int64_t pixels);
  // Replaces the image by the stretched image. An empty image stays empty.
  void ApplyTo(TDibGraphic& image) const;

 private:
  // The scale by which the picture was reduced to `source`; 1 without a picture size or when
  // `source` is no reduction of it.
  int Reduction(const TRaster& source) const;
};

}  // namespace morvane
