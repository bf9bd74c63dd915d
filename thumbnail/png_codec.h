// PNG decoding and encoding through libpng: the logo the thumbnails are stamped with is decoded
// from memory, the command line writes thumbnails as PNG files, and the desktop's thumbnail
// cache keeps its facts about the original file in a PNG's text chunks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
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

// Text chunks of a PNG: keyword and Latin-1 text, in file order.
using TPngTexts = std::vector<std::pair<std::string, std::string>>;

// Writes a true-colour raster as an 8-bit RGB PNG file, with the texts as tEXt chunks before the
// image data; false when the file cannot be written.
bool WritePngFile(const TRaster& raster, const std::string& path, const TPngTexts& texts = {});

// The text chunks that precede the image data of a PNG file; empty for a file that cannot be
// read or is not a PNG. The image itself is not decoded.
TPngTexts ReadPngTexts(const std::string& path);

}  // namespace morvane
