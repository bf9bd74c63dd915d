// Resizing through the platform's two stretching modes, chosen as the thumbnail path expects:
// averaging only pays off (and only works) for true colour, and tiny images keep hard pixels.
#include "thumbnail/resize.h"

namespace morvane {

namespace {

constexpr int64_t kHalftoneMinPixels = 1024;  // more pixels than this are averaged

}  // namespace

int TResizeTransform::ReductionOf(int width, int height, int picture_width, int picture_height) {
  for (const int reduction : {2, 4, 8})
    if (picture_width > 0 && picture_height > 0 && (int64_t{picture_width} + reduction - 1) / reduction == width &&
        (int64_t{picture_height} + reduction - 1) / reduction == height)
      return reduction;
  return 1;
}

bool TResizeTransform::UsesHalftone(const TDibGraphic& image) {
  return UsesHalftone(image.PixelFormat(), int64_t{image.Width()} * image.Height());
}

bool TResizeTransform::UsesHalftone(TPixelFormat format, int64_t pixels) {
  return format == pf24bit && pixels > kHalftoneMinPixels;
}

void TResizeTransform::ApplyTo(TDibGraphic& image) const {
  if (image.Empty()) return;
  const TRaster& source = image.Raster();
  TRaster result(Width, Height, source.Format(), TNewPixels::Undefined);
  result.Palette = source.Palette;
  result.XPelsPerMeter = source.XPelsPerMeter;
  result.YPelsPerMeter = source.YPelsPerMeter;
  const int reduction = ReductionOf(source.Width(), source.Height(), PictureWidth, PictureHeight);
  if (UsesHalftone(image) && reduction > 1)
    StretchHalftoneReduced(source, PictureWidth, PictureHeight, reduction, result);
  else if (UsesHalftone(image))
    StretchHalftone(source, result);
  else
    StretchColorOnColor(source, result);
  image.SetRaster(std::move(result));
}

}  // namespace morvane
