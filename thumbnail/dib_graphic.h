// TDibGraphic: the one in-memory image of the thumbnail path, a device-independent bitmap in 8-bit
// gray, a palette format or 24-bit true colour. It is empty until a decode or a copy gives it
// pixels; callers test emptiness, never size, to tell whether a source produced an image.
#pragma once

#include <cstdint>

#include "thumbnail/imaging/canvas.h"
#include "thumbnail/imaging/raster.h"

namespace morvane {

// Decoders refuse an image whose header announces more pixels than this, or more pixels than the
// compressed bytes that exist can describe (a JPEG codes at least one bit per 8 x 8 block), before
// any pixel memory is allocated.
inline constexpr int64_t kMaxImagePixels = kMaxRasterPixels;
inline constexpr int64_t kMaxPixelsPerByte = 512;
bool ImageSizeAllowed(int64_t width, int64_t height, int64_t available_bytes);

class TDibGraphic {
 public:
  TDibGraphic() = default;
  TDibGraphic(const TDibGraphic&) = delete;
  TDibGraphic& operator=(const TDibGraphic&) = delete;
  virtual ~TDibGraphic() = default;

  int Width() const { return raster_.Empty() ? 0 : raster_.Width(); }
  int Height() const { return raster_.Empty() ? 0 : raster_.Height(); }
  bool Empty() const { return raster_.Empty(); }
  TPixelFormat PixelFormat() const { return raster_.Format(); }
  // Resolution in dots per inch (stored in pixels per metre).
  int XDpi() const { return PelsPerMeterToDpi(raster_.XPelsPerMeter); }
  int YDpi() const { return PelsPerMeterToDpi(raster_.YPelsPerMeter); }

  void Clear() { raster_.Release(); }
  // Takes the size, format, palette, resolution and pixels of another image.
  void Assign(const TDibGraphic& source);
  // Replaces the content by a raster.
  void SetRaster(TRaster raster) { raster_ = std::move(raster); }
  const TRaster& Raster() const { return raster_; }
  TRaster& Raster() { return raster_; }

  // Draws the image at its own size with its top-left corner at (x, y).
  void Draw(TCanvas& canvas, int x, int y) const { canvas.Draw(x, y, raster_); }

 protected:
  TRaster raster_;
};

}  // namespace morvane
