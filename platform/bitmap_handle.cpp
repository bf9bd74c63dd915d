// Bitmap handles on Windows: DIB sections (24-bit bottom-up, 32-bit top-down), which the shell can select, copy
// and read back with GetDIBits.
#if defined(_WIN32)

#include "platform/bitmap_handle.h"

#include <cstring>

namespace morvane {

namespace {

// A DIB section of `bits_pixel` bits per pixel, rows of 4-byte multiples, each zeroed and filled.
HBITMAP NewDibSection(LONG width, LONG height, WORD bits_pixel, bool top_down, const TBitmapRowFill& fill) {
  if (width <= 0 || height <= 0) return nullptr;
  const size_t row_bytes = (static_cast<size_t>(width) * (bits_pixel / 8) + 3) & ~size_t{3};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = top_down ? -height : height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = bits_pixel;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    return nullptr;
  }
  for (LONG y = 0; y < height; ++y) {
    BYTE* row = static_cast<BYTE*>(bits) + static_cast<size_t>(top_down ? y : height - 1 - y) * row_bytes;
    std::memset(row, 0, row_bytes);
    fill(y, row);
  }
  GdiFlush();
  return bitmap;
}

}  // namespace

HBITMAP CreateBitmapHandle24(LONG width, LONG height, const TBitmapRowFill& fill) {
  return NewDibSection(width, height, 24, false, fill);
}

HBITMAP CreateBitmapHandle32(LONG width, LONG height, const TBitmapRowFill& fill) {
  return NewDibSection(width, height, 32, true, fill);
}

}  // namespace morvane

#endif
