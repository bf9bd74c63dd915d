#include "thumbnail/imaging/raster_handle.h"

#include "platform/bitmap_handle.h"

namespace morvane {

HBITMAP CreateBitmapHandle(const TRaster& raster) {
  if (raster.Empty()) return nullptr;
  return CreateBitmapHandle24(raster.Width(), raster.Height(), [&raster](LONG y, BYTE* row) {
    for (LONG x = 0; x < raster.Width(); ++x) {
      const TColor color = raster.PixelColor(x, y);
      row[x * 3] = BlueOf(color);
      row[x * 3 + 1] = GreenOf(color);
      row[x * 3 + 2] = RedOf(color);
    }
  });
}

HBITMAP CreateTopDownBitmapHandle(const TRaster& raster) {
  if (raster.Empty()) return nullptr;
  return CreateBitmapHandle32(raster.Width(), raster.Height(), [&raster](LONG y, BYTE* row) {
    for (LONG x = 0; x < raster.Width(); ++x) {
      const TColor color = raster.PixelColor(x, y);
      row[x * 4] = BlueOf(color);
      row[x * 4 + 1] = GreenOf(color);
      row[x * 4 + 2] = RedOf(color);
      row[x * 4 + 3] = 255;
    }
  });
}

}  // namespace morvane
