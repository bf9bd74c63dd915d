// Stand-in for the bitmap handles of the graphics interface: a handle owns a device-independent
// block of pixels (rows 4-byte aligned; bottom-up for 24 bits as the bitmap format keeps them,
// top-down for 32). The shell
// receives such handles from a thumbnail extractor and frees them with DeleteObject.
#pragma once

#include "platform/com_types.h"

struct HBITMAP__;
typedef HBITMAP__* HBITMAP;
typedef HANDLE HGDIOBJ;

struct BITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  LPVOID bmBits;
};

inline constexpr UINT IMAGE_BITMAP = 0;

// The BITMAP description of a bitmap handle; bmBits points at the handle's own pixel rows,
// in the handle's row order. Returns the bytes written, 0 for anything that is not a bitmap handle.
int GetObjectA(HANDLE h, int c, LPVOID pv);
// A new handle holding a copy of the bitmap. Only IMAGE_BITMAP at its own size (cx = cy = 0)
// is supported; anything else, or a null source, gives null.
HANDLE CopyImage(HANDLE h, UINT type, int cx, int cy, UINT flags);
BOOL DeleteObject(HGDIOBJ ho);
