// Builders of raw-like test files.
#include "support/raw_fixture.h"

#include "thumbnail/imaging/raster.h"
#include "support/jpeg_fixture.h"

namespace morvane::testing {

void AddRgbImage(TiffWriter& writer, int ifd, int width, int height, int orientation) {
  std::string pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const TColor c = QuadrantColor(x, y, width, height);
      pixels += static_cast<char>(RedOf(c));
      pixels += static_cast<char>(GreenOf(c));
      pixels += static_cast<char>(BlueOf(c));
    }
  writer.Add(ifd, 256, TiffWriter::kLong, {static_cast<uint64_t>(width)});
  writer.Add(ifd, 257, TiffWriter::kLong, {static_cast<uint64_t>(height)});
  writer.Add(ifd, 258, TiffWriter::kShort, {8, 8, 8});
  writer.Add(ifd, 259, TiffWriter::kShort, {1});
  writer.Add(ifd, 262, TiffWriter::kShort, {2});
  writer.Add(ifd, 274, TiffWriter::kShort, {static_cast<uint64_t>(orientation)});
  writer.Add(ifd, 277, TiffWriter::kShort, {3});
  writer.Add(ifd, 278, TiffWriter::kLong, {static_cast<uint64_t>(height)});
  writer.Add(ifd, 284, TiffWriter::kShort, {1});
  writer.AddBlob(ifd, 273, 279, pixels);
}

void AddMake(TiffWriter& writer, int ifd, const std::string& make) { writer.AddAscii(ifd, 271, make); }

std::vector<uint64_t> AsComponents(const std::string& bytes) {
  std::vector<uint64_t> components;
  components.reserve(bytes.size());
  for (const char c : bytes) components.push_back(static_cast<unsigned char>(c));
  return components;
}

}  // namespace morvane::testing
