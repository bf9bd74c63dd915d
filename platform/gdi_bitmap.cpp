// Stand-in for bitmap handles: one C-heap block per handle, a header followed by the pixel
// rows (bottom-up for 24 bits, top-down for 32), so that any copy of this layer in the process can read and free a handle another made.
#if !defined(_WIN32)

#include "platform/gdi_bitmap.h"

#include "platform/bitmap_handle.h"

#include <cstdlib>
#include <cstring>

struct HBITMAP__ {
  uint32_t Magic;
  LONG Width;
  LONG Height;
  LONG Stride;
  WORD BitsPixel;
};

namespace {

constexpr uint32_t kBitmapMagic = 0x504D4248;  // "HBMP"

HBITMAP AsBitmap(HANDLE h) {
  auto* bitmap = static_cast<HBITMAP>(h);
  return bitmap != nullptr && bitmap->Magic == kBitmapMagic ? bitmap : nullptr;
}

BYTE* Bits(HBITMAP bitmap) { return reinterpret_cast<BYTE*>(bitmap + 1); }

size_t BlockSize(LONG stride, LONG height) {
  return sizeof(HBITMAP__) + static_cast<size_t>(stride) * static_cast<size_t>(height);
}

}  // namespace

int GetObjectA(HANDLE h, int c, LPVOID pv) {
  HBITMAP bitmap = AsBitmap(h);
  if (bitmap == nullptr) return 0;
  if (pv == nullptr) return static_cast<int>(sizeof(BITMAP));
  if (c < static_cast<int>(sizeof(BITMAP))) return 0;
  BITMAP description{};
  description.bmType = 0;
  description.bmWidth = bitmap->Width;
  description.bmHeight = bitmap->Height;
  description.bmWidthBytes = bitmap->Stride;
  description.bmPlanes = 1;
  description.bmBitsPixel = bitmap->BitsPixel;
  description.bmBits = Bits(bitmap);
  std::memcpy(pv, &description, sizeof(description));
  return static_cast<int>(sizeof(BITMAP));
}

HANDLE CopyImage(HANDLE h, UINT type, int cx, int cy, UINT) {
  HBITMAP source = AsBitmap(h);
  if (source == nullptr || type != IMAGE_BITMAP || cx != 0 || cy != 0) return nullptr;
  const size_t size = BlockSize(source->Stride, source->Height);
  void* copy = std::malloc(size);
  if (copy == nullptr) return nullptr;
  std::memcpy(copy, source, size);
  return copy;
}

BOOL DeleteObject(HGDIOBJ ho) {
  HBITMAP bitmap = AsBitmap(ho);
  if (bitmap == nullptr) return FALSE;
  bitmap->Magic = 0;
  std::free(bitmap);
  return TRUE;
}

namespace morvane {

namespace {

HBITMAP NewBitmap(LONG width, LONG height, WORD bits_pixel, bool top_down, const TBitmapRowFill& fill) {
  if (width <= 0 || height <= 0) return nullptr;
  const LONG row_bytes = (width * (bits_pixel / 8) + 3) & ~3;
  auto* bitmap = static_cast<HBITMAP>(std::malloc(BlockSize(row_bytes, height)));
  if (bitmap == nullptr) return nullptr;
  bitmap->Magic = kBitmapMagic;
  bitmap->Width = width;
  bitmap->Height = height;
  bitmap->Stride = row_bytes;
  bitmap->BitsPixel = bits_pixel;
  for (LONG y = 0; y < height; ++y) {
    BYTE* row = Bits(bitmap) + static_cast<size_t>(top_down ? y : height - 1 - y) * static_cast<size_t>(row_bytes);
    std::memset(row, 0, static_cast<size_t>(row_bytes));
    fill(y, row);
  }
  return bitmap;
}

}  // namespace

HBITMAP CreateBitmapHandle24(LONG width, LONG height, const TBitmapRowFill& fill) {
  return NewBitmap(width, height, 24, false, fill);
}

HBITMAP CreateBitmapHandle32(LONG width, LONG height, const TBitmapRowFill& fill) {
  return NewBitmap(width, height, 32, true, fill);
}

}  // namespace morvane

#endif
