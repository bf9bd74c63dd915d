#include "support/positional_image.h"

namespace morvane::testing {

void FillPositional(TDibGraphic& image, int w, int h, TPixelFormat format) {
  TRaster r(w, h, format);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (format == pf24bit)
        r.SetPixelColor(x, y, MakeColor(static_cast<uint8_t>(x), static_cast<uint8_t>(y), 100));
      else
        r.SetPixelIndex(x, y, static_cast<uint8_t>((x + 3 * y) % (1 << static_cast<int>(format))));
    }
  r.XPelsPerMeter = 1000;
  r.YPelsPerMeter = 2000;
  image.SetRaster(std::move(r));
}

}  // namespace morvane::testing
