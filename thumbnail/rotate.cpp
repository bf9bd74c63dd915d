// Right-angle turns. A source pixel (x, y) of a W x H image goes to (H-1-y, x) for a quarter
// turn clockwise, (W-1-x, H-1-y) for a half turn, (y, W-1-x) for a quarter turn anticlockwise.
#include "thumbnail/rotate.h"

#include <cmath>
#include <cstring>

#include "platform/errors.h"

namespace morvane {

namespace {

// The angle reduced to 0..359 when it is (nearly) whole, else -1.
int WholeDegrees(double angle) {
  const double rounded = std::round(angle);
  if (!std::isfinite(angle) || std::fabs(angle - rounded) > 0.005 || std::fabs(rounded) > 1e9) return -1;
  int n = static_cast<int>(std::fmod(rounded, 360.0));
  while (n < 0) n += 360;
  return n;
}

void CopyPixel(const TRaster& from, int fx, int fy, TRaster& to, int tx, int ty) {
  switch (from.Format()) {
    case pf24bit:
      std::memcpy(to.ScanLine(ty) + static_cast<size_t>(tx) * 3,
                  from.ScanLine(fy) + static_cast<size_t>(fx) * 3, 3);
      break;
    case pf8bit: to.ScanLine(ty)[tx] = from.ScanLine(fy)[fx]; break;
    case pf1bit:
    case pf4bit: to.SetPixelIndex(tx, ty, from.PixelIndex(fx, fy)); break;
  }
}

}  // namespace

void TRotateTransform::ApplyTo(TDibGraphic& image) const {
  if (image.Empty()) return;
  const int degrees = WholeDegrees(Angle);
  if (degrees < 0 || degrees % 90 != 0) throw EMorvaneError("Free rotation is not supported");
  if (degrees == 0) return;

  const TRaster& source = image.Raster();
  const int w = source.Width(), h = source.Height();
  const bool quarter = degrees != 180;
  TRaster result(quarter ? h : w, quarter ? w : h, source.Format(), TNewPixels::Undefined);
  result.Palette = source.Palette;
  result.XPelsPerMeter = quarter ? source.YPelsPerMeter : source.XPelsPerMeter;
  result.YPelsPerMeter = quarter ? source.XPelsPerMeter : source.YPelsPerMeter;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      switch (degrees) {
        case 90: CopyPixel(source, x, y, result, h - 1 - y, x); break;
        case 180: CopyPixel(source, x, y, result, w - 1 - x, h - 1 - y); break;
        default: CopyPixel(source, x, y, result, y, w - 1 - x); break;
      }
    }
  }
  image.SetRaster(std::move(result));
}

}  // namespace morvane
