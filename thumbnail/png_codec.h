// PNG decoding and encoding through libpng's simplified API: the logo the thumbnails are
// stamped with is decoded from memory, and the command line writes thumbnails as PNG files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "thumbnail/imaging/raster.h"

namespace morvane {

struct TRgbaImage {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Pixels;  // rows top-down, 4 bytes a pixel: red, green, blue, alpha
};

// Decodes a PNG of at most 4096 x 4096 pixels into 8-bit RGBA. Throws EMorvaneError for bytes
// that are not a PNG or hold a larger image.
TRgbaImage DecodePng(const uint8_t* bytes, size_t size);

// Writes a true-colour raster as an 8-bit RGB PNG file; false when the file cannot be written.
bool WritePngFile(const TRaster& raster, const std::string& path);

}  // namespace morvane
