// Copying and the shared size bound of decoded images.
#include "thumbnail/dib_graphic.h"

namespace morvane {

bool ImageSizeAllowed(int64_t width, int64_t height, int64_t available_bytes) {
  if (width <= 0 || height <= 0 || width > kMaxImagePixels || height > kMaxImagePixels) return false;
  const int64_t pixels = width * height;
  return pixels <= kMaxImagePixels && available_bytes > 0 &&
         pixels / kMaxPixelsPerByte <= available_bytes;
}

void TDibGraphic::Assign(const TDibGraphic& source) {
  if (&source != this) raster_ = source.raster_;
}

}  // namespace morvane
