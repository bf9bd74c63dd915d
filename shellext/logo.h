// The logo stamped on every thumbnail, kept as PNG bytes in the program and decoded with
// libpng into 16x16 RGBA pixels.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace morvane {

extern const std::array<uint8_t, 159> kLogoPng;

struct TRgbaImage {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Pixels;  // rows top-down, 4 bytes a pixel: red, green, blue, alpha
};

// Decodes a PNG into 8-bit RGBA. Throws EMorvaneError for bytes that are not a PNG.
TRgbaImage DecodePng(const uint8_t* bytes, size_t size);

}  // namespace morvane
