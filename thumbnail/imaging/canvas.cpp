// Canvas drawing on a true-colour raster. Every drawing call is clipped to the clip rectangle
// and to the bitmap, so no coordinate a caller passes can reach outside the pixels.
#include "thumbnail/imaging/canvas.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "thumbnail/imaging/bitmap_font.h"
#include "platform/errors.h"

namespace morvane {

namespace {

// The default font grows by one step for every 128 pixels of the bitmap's shorter side.
constexpr int kPixelsPerFontStep = 128;
constexpr int kMaxFontScale = 16;

}  // namespace

#if !defined(_WIN32)
TColor GetSysColor(int index) {
  switch (index) {
    case COLOR_WINDOW: return MakeColor(255, 255, 255);
    default: return MakeColor(0, 0, 0);
  }
}
#endif

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  const int64_t product = int64_t{a} * b;
  int64_t quotient = product / c;
  const int64_t remainder = product % c;
  // Round half away from zero: |remainder| / |c| >= 1/2 moves one step away from zero.
  const int64_t abs_remainder = remainder < 0 ? -remainder : remainder;
  const int64_t abs_c = c < 0 ? -int64_t{c} : int64_t{c};
  if (2 * abs_remainder >= abs_c) quotient += ((product < 0) != (c < 0)) ? -1 : 1;
  if (quotient > std::numeric_limits<int32_t>::max() || quotient < std::numeric_limits<int32_t>::min())
    return -1;
  return static_cast<int32_t>(quotient);
}

int TCanvas::FontScale() const {
  const int side = std::min(raster_.Width(), raster_.Height());
  return std::clamp(side / kPixelsPerFontStep, 1, kMaxFontScale);
}

int TCanvas::TextWidth(std::string_view text) const {
  return static_cast<int>(std::min<size_t>(text.size(), 1 << 20)) * kFontCellWidth * FontScale();
}

int TCanvas::TextHeight(std::string_view /*text*/) const { return kFontCellHeight * FontScale(); }

TRect TCanvas::ClipRect() const {
  if (has_clip_) return clip_;
  return {0, 0, raster_.Width(), raster_.Height()};
}

void TCanvas::SetClipRect(const TRect& rect) {
  clip_ = rect;
  has_clip_ = true;
}

TRect TCanvas::Visible(const TRect& rect) const {
  const TRect clip = ClipRect();
  TRect r{std::max({rect.Left, clip.Left, 0}), std::max({rect.Top, clip.Top, 0}),
          std::min({rect.Right, clip.Right, raster_.Width()}),
          std::min({rect.Bottom, clip.Bottom, raster_.Height()})};
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

void TCanvas::FillRect(const TRect& rect) {
  if (raster_.Empty() || !raster_.IsTrueColor()) return;
  const TRect r = Visible(rect);
  for (int y = r.Top; y < r.Bottom; ++y) {
    uint8_t* p = raster_.ScanLine(y) + static_cast<size_t>(r.Left) * 3;
    for (int x = r.Left; x < r.Right; ++x, p += 3) {
      p[0] = BlueOf(BrushColor);
      p[1] = GreenOf(BrushColor);
      p[2] = RedOf(BrushColor);
    }
  }
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  if (raster_.Empty() || !raster_.IsTrueColor()) return;
  const int scale = FontScale();
  const int64_t width = int64_t{TextWidth(text)};
  const TRect box{x, y, static_cast<int>(std::min<int64_t>(int64_t{x} + width, std::numeric_limits<int>::max())),
                  static_cast<int>(std::min<int64_t>(int64_t{y} + TextHeight(text), std::numeric_limits<int>::max()))};
  FillRect(box);
  const TRect visible = Visible(box);
  if (visible.Left >= visible.Right || visible.Top >= visible.Bottom) return;

  const int cell = kFontCellWidth * scale;
  for (int py = visible.Top; py < visible.Bottom; ++py) {
    const int glyph_row = (py - y) / scale - kGlyphTop;
    if (glyph_row < 0 || glyph_row >= kGlyphRows) continue;
    uint8_t* row = raster_.ScanLine(py);
    for (int px = visible.Left; px < visible.Right; ++px) {
      const int64_t offset = int64_t{px} - x;
      const auto index = static_cast<size_t>(offset / cell);
      const int column = static_cast<int>(offset % cell) / scale;
      if (column >= kGlyphColumns || index >= text.size()) continue;
      const TGlyph& glyph = GlyphOf(static_cast<unsigned char>(text[index]));
      if ((glyph[static_cast<size_t>(glyph_row)] >> (kGlyphColumns - 1 - column)) & 1) {
        uint8_t* p = row + static_cast<size_t>(px) * 3;
        p[0] = BlueOf(FontColor);
        p[1] = GreenOf(FontColor);
        p[2] = RedOf(FontColor);
      }
    }
  }
}

void TCanvas::Draw(int x, int y, const TRaster& image) {
  if (raster_.Empty() || image.Empty() || !raster_.IsTrueColor()) return;
  const TRect r = Visible({x, y, static_cast<int>(std::min<int64_t>(int64_t{x} + image.Width(), raster_.Width())),
                           static_cast<int>(std::min<int64_t>(int64_t{y} + image.Height(), raster_.Height()))});
  for (int py = r.Top; py < r.Bottom; ++py) {
    uint8_t* out = raster_.ScanLine(py) + static_cast<size_t>(r.Left) * 3;
    const int sy = py - y;
    if (image.IsTrueColor()) {
      std::memcpy(out, image.ScanLine(sy) + static_cast<size_t>(r.Left - x) * 3,
                  static_cast<size_t>(r.Right - r.Left) * 3);
      continue;
    }
    for (int px = r.Left; px < r.Right; ++px, out += 3) {
      const TColor c = image.PixelColor(px - x, sy);
      out[0] = BlueOf(c);
      out[1] = GreenOf(c);
      out[2] = RedOf(c);
    }
  }
}

void TBitmap::SetSize(int width, int height) {
  if (width < 0 || height < 0 || int64_t{width} * height > kMaxRasterPixels)
    throw EMorvaneError("Invalid bitmap size");
  width_ = width;
  height_ = height;
  if (width == 0 || height == 0) {
    raster_.Release();
    return;
  }
  if (raster_.Empty() || raster_.Width() != width || raster_.Height() != height)
    raster_ = TRaster(width, height, pf24bit, TNewPixels::Undefined);
  raster_.Fill(canvas_.BrushColor);
}

}  // namespace morvane
