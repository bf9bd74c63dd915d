// JPEG pictures for tests, encoded straight through libjpeg (not through the code under test):
// plain pictures with recognisable content such as four coloured quadrants, gray, Adobe CMYK,
// two-component and progressive files, and JPEGs that carry a smaller JPEG in an APP1 segment.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "thumbnail/imaging/raster.h"

namespace morvane::testing {

using TPixelFunction = std::function<TColor(int x, int y)>;

// Top-left red, top-right green, bottom-left blue, bottom-right yellow: none of them is the
// white of the window background.
TColor QuadrantColor(int x, int y, int width, int height);
inline constexpr TColor kQuadrantColors[4] = {MakeColor(255, 0, 0), MakeColor(0, 255, 0),
                                              MakeColor(0, 0, 255), MakeColor(255, 255, 0)};

struct TJpegOptions {
  int Quality = 90;
  bool Gray = false;
  bool Progressive = false;
  // One scan for the DC of all components, then one per AC coefficient and component.
  bool ManyScans = false;
  int DensityUnit = 0;
  int XDensity = 1;
  int YDensity = 1;
  std::string App1;  // payload of an APP1 segment written after the header, if not empty
};

std::string MakeJpeg(int width, int height, const TPixelFunction& pixel, const TJpegOptions& options = {});
std::string MakeQuadrantJpeg(int width, int height, const TJpegOptions& options = {});
// A JPEG whose APP1 "Exif" segment carries `inner` (at most about 65000 bytes).
std::string MakeJpegWithInner(int width, int height, const std::string& inner);
// An Adobe CMYK JPEG of one colour, given as the stored (inverted) C, M, Y, K bytes.
std::string MakeCmykJpeg(int width, int height, uint8_t c, uint8_t m, uint8_t y, uint8_t k);
// A JPEG of two components, which no colour space describes.
std::string MakeTwoComponentJpeg(int width, int height);

// Quadrants with a fine texture, so that the coded data outweighs the tables.
std::string MakeTexturedJpeg(int width, int height, int quality = 90);
// The JPEG grown to exactly `size` bytes by comment segments after its start marker.
std::string PadJpeg(const std::string& jpeg, size_t size);

// The byte offset of a JPEG's start-of-frame dimensions (height then width, big-endian).
size_t FrameSizeOffset(const std::string& jpeg);

// Whether two colours differ by at most `tolerance` in every channel.
bool NearColor(TColor a, TColor b, int tolerance);

}  // namespace morvane::testing
