// Resizing through the platform's two stretching modes, chosen as the thumbnail path expects:
// averaging only pays off (and only works) for true colour, and tiny images keep hard pixels.
#include "thumbnail/resize.h"

namespace morvane {

namespace {

constexpr int64_t kHalftoneMinPixels = 1024;  // more pixels than this are averaged

}  // namespace

int TResizeTransform::Reduction(const TRaster& source) const {
  for (const int reduction : {2, 4, 8})
    if (PictureWidth > 0 && PictureHeight > 0 && (PictureWidth + reduction - 1) / reduction == source.Width() &&
        (PictureHeight + reduction - 1) / reduction == source.Height())
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
  if (const int reduction = Reduction(source); UsesHalftone(image) && reduction > 1)
    StretchHalftoneReduced(source, PictureWidth, PictureHeight, reduction, result);
  else if (UsesHalftone(image))
    StretchHalftone(source, result);
  else
    StretchColorOnColor(source, result);
  image.SetRaster(std::move(result));
}

}  // namespace morvane
