// Bitmap handles on Windows: DIB sections (24-bit bottom-up, 32-bit top-down), which the shell can select, copy
// and read back with GetDIBits.
#if defined(_WIN32)

#include "platform/bitmap_handle.h"

#include <cstring>

namespace morvane {

HBITMAP CreateBitmapHandle24(LONG width, LONG height, const TBitmapRowFill& fill) {
  if (width <= 0 || height <= 0) return nullptr;
  const LONG row_bytes = (width * 3 + 3) & ~3;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    return nullptr;
  }
  for (LONG y = 0; y < height; ++y) {
    BYTE* row = static_cast<BYTE*>(bits) + static_cast<size_t>(height - 1 - y) * static_cast<size_t>(row_bytes);
    std::memset(row, 0, static_cast<size_t>(row_bytes));
    fill(y, row);
  }
  GdiFlush();
  return bitmap;
}

HBITMAP CreateBitmapHandle32(LONG width, LONG height, const TBitmapRowFill& fill) {
  if (width <= 0 || height <= 0) return nullptr;
  const size_t row_bytes = static_cast<size_t>(width) * 4;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    return nullptr;
  }
  for (LONG y = 0; y < height; ++y) {
    BYTE* row = static_cast<BYTE*>(bits) + static_cast<size_t>(y) * row_bytes;
    std::memset(row, 0, row_bytes);
    fill(y, row);
  }
  GdiFlush();
  return bitmap;
}

}  // namespace morvane

#endif
