// A device-independent raster: the pixel store behind images and drawing surfaces. Rows are kept
// bottom-up with 4-byte aligned strides, as the Windows bitmap format keeps them, but every
// coordinate a caller passes is top-down. Also the two stretching modes of the platform's
// stretcher: halftone (area average) and colour-on-colour (one source pixel per destination).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace morvane {

// A colour as the platform's colour references hold it: 0x00BBGGRR.
using TColor = uint32_t;
constexpr TColor MakeColor(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<TColor>(red) | (static_cast<TColor>(green) << 8) |
         (static_cast<TColor>(blue) << 16);
}
constexpr uint8_t RedOf(TColor c) { return static_cast<uint8_t>(c); }
constexpr uint8_t GreenOf(TColor c) { return static_cast<uint8_t>(c >> 8); }
constexpr uint8_t BlueOf(TColor c) { return static_cast<uint8_t>(c >> 16); }

enum TPixelFormat { pf1bit = 1, pf4bit = 4, pf8bit = 8, pf24bit = 24 };

// One palette entry, in the byte order of the bitmap format.
struct TPaletteEntry {
  uint8_t Blue = 0;
  uint8_t Green = 0;
  uint8_t Red = 0;
  uint8_t Reserved = 0;
  bool operator==(const TPaletteEntry&) const = default;
};

// The largest raster this system allocates. Anything larger is refused before allocation.
inline constexpr int64_t kMaxRasterPixels = 120'000'000;

// Pixels per metre for a resolution in dots per inch, and back (rounded to the nearest).
int32_t DpiToPelsPerMeter(int dpi);
int PelsPerMeterToDpi(int32_t pels_per_meter);

// Whether new pixel memory starts black or holds whatever was there: a raster that is about to
// be overwritten whole (a decode, a stretch, a turn) need not pay for clearing. Large rasters
// come from the system already black at no cost, and say so (AllocatedBlack).
enum class TNewPixels { Black, Undefined };

// Frees a raster's pixel memory the way it was allocated.
struct TFreePixels {
  size_t MappedBytes = 0;  // non-zero for a block mapped straight from the system
  void operator()(uint8_t* pixels) const;
};

class TRaster {
 public:
  TRaster() = default;
  // Allocates width x height pixels. Throws EMorvaneError for a size that is not positive or
  // exceeds kMaxRasterPixels. Palette formats get a gray palette.
  TRaster(int width, int height, TPixelFormat format, TNewPixels pixels = TNewPixels::Black);

  TRaster(const TRaster& other);
  TRaster& operator=(const TRaster& other);
  TRaster(TRaster&&) noexcept = default;
  TRaster& operator=(TRaster&&) noexcept = default;

  bool Empty() const { return pixels_ == nullptr; }
  void Release();

  int Width() const { return width_; }
  int Height() const { return height_; }
  TPixelFormat Format() const { return format_; }
  size_t Stride() const { return stride_; }
  bool IsTrueColor() const { return format_ == pf24bit; }
  // Whether the pixel memory was black when allocated (rows never written since are black).
  bool AllocatedBlack() const { return allocated_black_; }

  // Row y counted from the top.
  uint8_t* ScanLine(int y) { return pixels_.get() + RowOffset(y); }
  const uint8_t* ScanLine(int y) const { return pixels_.get() + RowOffset(y); }

  std::vector<TPaletteEntry> Palette;  // 2^bits entries for palette formats, empty for pf24bit
  int32_t XPelsPerMeter = 0;
  int32_t YPelsPerMeter = 0;

  // The palette index at (x, y) of a palette format.
  uint8_t PixelIndex(int x, int y) const;
  void SetPixelIndex(int x, int y, uint8_t index);
  // The colour at (x, y) whatever the format (through the palette for palette formats).
  TColor PixelColor(int x, int y) const;
  // Sets a true-colour pixel.
  void SetPixelColor(int x, int y, TColor color);
  // Paints every pixel of a true-colour raster with one colour.
  void Fill(TColor color);

  // Same size, format and palette.
  bool SameShape(const TRaster& other) const;

 private:
  size_t RowOffset(int y) const { return static_cast<size_t>(height_ - 1 - y) * stride_; }
  void Allocate(size_t bytes, TNewPixels pixels);

  int width_ = 0;
  int height_ = 0;
  TPixelFormat format_ = pf24bit;
  size_t stride_ = 0;
  bool allocated_black_ = false;
  std::unique_ptr<uint8_t[], TFreePixels> pixels_;
};

// The 256 grays, or for fewer bits the grays evenly spread from black to white.
std::vector<TPaletteEntry> GrayPalette(TPixelFormat format);

// Stretches the whole source onto the whole destination. Halftone: each destination pixel is
// the average of the source pixels it covers, weighted by the area covered (true colour only).
// Colour-on-colour: each destination pixel is the source pixel under its centre; works for
// every format and copies palette indices. Both need source and destination of one format.
void StretchHalftone(const TRaster& source, TRaster& destination);
// Halftone for a source that is a picture of `picture_width` x `picture_height` reduced by
// `reduction` (1 to 8; the source's size is the picture's divided by it, rounded up): the
// destination covers the picture exactly, the source's last column and row weighted by the part
// of the picture they stand for.
void StretchHalftoneReduced(const TRaster& source, int picture_width, int picture_height, int reduction,
                            TRaster& destination);
void StretchColorOnColor(const TRaster& source, TRaster& destination);

}  // namespace morvane
