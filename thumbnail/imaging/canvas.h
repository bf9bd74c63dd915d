// The drawing surface of a bitmap, standing in for the platform's device context: a brush colour,
// a clip rectangle, text measuring and opaque text output in a built-in bitmap font, and drawing
// an image at a point clipped to the bitmap. Also the system colours and MulDiv.
#pragma once

#include <cstdint>
#include <mutex>
#include <string_view>

#include "thumbnail/imaging/raster.h"

#if defined(_WIN32)
// Windows has the system colours itself, in the same red-green-blue byte order as TColor.
#include "platform/windows_api.h"
#endif

namespace morvane {

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  bool operator==(const TRect&) const = default;
};

#if !defined(_WIN32)
// System colour indexes; only the window background is used.
inline constexpr int COLOR_WINDOW = 5;
// The colour of a system colour index. The window background is white on this platform.
TColor GetSysColor(int index);
#endif

// a * b / c with a 64-bit intermediate, rounded to the nearest with halves away from zero;
// -1 when c is 0 or the result does not fit in 32 bits.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

class TCanvas {
 public:
  explicit TCanvas(TRaster& raster) : raster_(raster) {}
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  TColor BrushColor = MakeColor(255, 255, 255);
  TColor FontColor = MakeColor(0, 0, 0);

  // The size of a text in the default font, which grows with the bitmap so that it stays
  // legible from 48 to 1024 pixels and more.
  int TextWidth(std::string_view text) const;
  int TextHeight(std::string_view text) const;
  // Draws the text with its top-left corner at (x, y) on a box of the brush colour.
  void TextOut(int x, int y, std::string_view text);

  // The clip rectangle: the whole bitmap unless one was set.
  TRect ClipRect() const;
  void SetClipRect(const TRect& rect);
  void ResetClipRect() { has_clip_ = false; }

  void FillRect(const TRect& rect);
  // Draws the image at its own size with its top-left corner at (x, y), clipped.
  void Draw(int x, int y, const TRaster& image);

  // Serialises drawing on this surface with other threads.
  void Lock() { lock_.lock(); }
  void Unlock() { lock_.unlock(); }
  // The same, under the names std::lock_guard expects.
  void lock() { Lock(); }
  void unlock() { Unlock(); }

 private:
  int FontScale() const;
  TRect Visible(const TRect& rect) const;

  TRaster& raster_;
  bool has_clip_ = false;
  TRect clip_;
  std::recursive_mutex lock_;
};

// A true-colour bitmap with its canvas. Changing the size repaints the whole bitmap with the
// brush colour.
class TBitmap {
 public:
  TBitmap() : canvas_(raster_) {}
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Throws EMorvaneError for a negative size or one above kMaxRasterPixels. A bitmap with a
  // side of 0 holds no pixels.
  void SetWidth(int width) { SetSize(width, height_); }
  void SetHeight(int height) { SetSize(width_, height); }
  void SetSize(int width, int height);

  TCanvas& Canvas() { return canvas_; }
  const TCanvas& Canvas() const { return canvas_; }
  const TRaster& Raster() const { return raster_; }
  TRaster& Raster() { return raster_; }

 private:
  TRaster raster_;
  TCanvas canvas_;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace morvane
