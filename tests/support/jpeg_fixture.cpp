// Encoding of the test pictures with libjpeg into memory.
#include "support/jpeg_fixture.h"

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

namespace morvane::testing {

namespace {

struct TEncoder {
  jpeg_compress_struct Info{};
  jpeg_error_mgr Errors{};
  unsigned char* Buffer = nullptr;
  unsigned long Size = 0;

  TEncoder(int width, int height, int components, J_COLOR_SPACE space) {
    Info.err = jpeg_std_error(&Errors);
    jpeg_create_compress(&Info);
    jpeg_mem_dest(&Info, &Buffer, &Size);
    Info.image_width = static_cast<JDIMENSION>(width);
    Info.image_height = static_cast<JDIMENSION>(height);
    Info.input_components = components;
    Info.in_color_space = space;
    jpeg_set_defaults(&Info);
  }
  ~TEncoder() {
    jpeg_destroy_compress(&Info);
    std::free(Buffer);
  }
  std::string Finish() {
    jpeg_finish_compress(&Info);
    return std::string(reinterpret_cast<const char*>(Buffer), Size);
  }
};

void SetManyScans(jpeg_compress_struct& info, std::vector<jpeg_scan_info>& script) {
  script.push_back({info.num_components, {0, 1, 2, 3}, 0, 0, 0, 0});
  for (int c = 0; c < info.num_components; ++c)
    for (int k = 1; k < 64; ++k) script.push_back({1, {c, 0, 0, 0}, k, k, 0, 0});
  info.scan_info = script.data();
  info.num_scans = static_cast<int>(script.size());
}

}  // namespace

TColor QuadrantColor(int x, int y, int width, int height) {
  const int quadrant = (y >= height / 2 ? 2 : 0) + (x >= width / 2 ? 1 : 0);
  return kQuadrantColors[quadrant];
}

std::string MakeJpeg(int width, int height, const TPixelFunction& pixel, const TJpegOptions& options) {
  TEncoder encoder(width, height, options.Gray ? 1 : 3, options.Gray ? JCS_GRAYSCALE : JCS_RGB);
  jpeg_compress_struct& info = encoder.Info;
  jpeg_set_quality(&info, options.Quality, TRUE);
  info.density_unit = static_cast<UINT8>(options.DensityUnit);
  info.X_density = static_cast<UINT16>(options.XDensity);
  info.Y_density = static_cast<UINT16>(options.YDensity);
  std::vector<jpeg_scan_info> script;
  if (options.ManyScans)
    SetManyScans(info, script);
  else if (options.Progressive)
    jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  if (!options.App1.empty())
    jpeg_write_marker(&info, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(options.App1.data()),
                      static_cast<unsigned>(options.App1.size()));
  std::vector<JSAMPLE> row(static_cast<size_t>(width) * (options.Gray ? 1 : 3));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const TColor c = pixel(x, y);
      if (options.Gray) {
        row[static_cast<size_t>(x)] = RedOf(c);
      } else {
        row[static_cast<size_t>(x) * 3] = RedOf(c);
        row[static_cast<size_t>(x) * 3 + 1] = GreenOf(c);
        row[static_cast<size_t>(x) * 3 + 2] = BlueOf(c);
      }
    }
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&info, &p, 1);
  }
  return encoder.Finish();
}

std::string MakeQuadrantJpeg(int width, int height, const TJpegOptions& options) {
  return MakeJpeg(width, height, [=](int x, int y) { return QuadrantColor(x, y, width, height); }, options);
}

std::string MakeJpegWithInner(int width, int height, const std::string& inner) {
  TJpegOptions options;
  options.App1 = std::string("Exif\0\0", 6) + inner;
  if (options.App1.size() > 65533) throw std::length_error("inner JPEG too long for APP1");
  return MakeQuadrantJpeg(width, height, options);
}

std::string MakeCmykJpeg(int width, int height, uint8_t c, uint8_t m, uint8_t y, uint8_t k) {
  TEncoder encoder(width, height, 4, JCS_CMYK);
  jpeg_set_colorspace(&encoder.Info, JCS_CMYK);
  jpeg_set_quality(&encoder.Info, 95, TRUE);
  jpeg_start_compress(&encoder.Info, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(width) * 4);
  for (int x = 0; x < width; ++x) {
    row[static_cast<size_t>(x) * 4] = c;
    row[static_cast<size_t>(x) * 4 + 1] = m;
    row[static_cast<size_t>(x) * 4 + 2] = y;
    row[static_cast<size_t>(x) * 4 + 3] = k;
  }
  for (int i = 0; i < height; ++i) {
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&encoder.Info, &p, 1);
  }
  return encoder.Finish();
}

std::string MakeTwoComponentJpeg(int width, int height) {
  TEncoder encoder(width, height, 2, JCS_UNKNOWN);
  jpeg_set_colorspace(&encoder.Info, JCS_UNKNOWN);
  jpeg_start_compress(&encoder.Info, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(width) * 2, 128);
  for (int i = 0; i < height; ++i) {
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&encoder.Info, &p, 1);
  }
  return encoder.Finish();
}

std::string MakeTexturedJpeg(int width, int height, int quality) {
  TJpegOptions options;
  options.Quality = quality;
  return MakeJpeg(width, height, [=](int x, int y) {
    const TColor c = QuadrantColor(x, y, width, height);
    const int noise = (x * 7 + y * 13) % 9;
    auto channel = [noise](uint8_t v) { return static_cast<uint8_t>(v ? v - noise : noise); };
    return MakeColor(channel(RedOf(c)), channel(GreenOf(c)), channel(BlueOf(c)));
  }, options);
}

std::string PadJpeg(const std::string& jpeg, size_t size) {
  if (size < jpeg.size() + 4 && size != jpeg.size()) throw std::length_error("cannot pad to that size");
  std::string segments;
  size_t missing = size - jpeg.size();
  while (missing > 0) {
    // A segment takes 4 bytes of marker and length; never leave fewer than 4 for the next one.
    size_t take = std::min<size_t>(missing, 65537);
    if (missing - take != 0 && missing - take < 4) take -= 4;
    const size_t length = take - 2;
    segments += std::string("\xFF\xFE", 2);
    segments += static_cast<char>(length >> 8);
    segments += static_cast<char>(length & 0xFF);
    segments += std::string(take - 4, 'c');
    missing -= take;
  }
  return jpeg.substr(0, 2) + segments + jpeg.substr(2);
}

size_t FrameSizeOffset(const std::string& jpeg) {
  size_t i = 2;
  while (i + 4 <= jpeg.size()) {
    const auto marker = static_cast<unsigned char>(jpeg[i + 1]);
    const size_t length = (static_cast<unsigned char>(jpeg[i + 2]) << 8) | static_cast<unsigned char>(jpeg[i + 3]);
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) return i + 5;
    i += 2 + length;
  }
  throw std::runtime_error("no frame header");
}

bool NearColor(TColor a, TColor b, int tolerance) {
  auto near = [tolerance](int x, int y) { return x - y <= tolerance && y - x <= tolerance; };
  return near(RedOf(a), RedOf(b)) && near(GreenOf(a), GreenOf(b)) && near(BlueOf(a), BlueOf(b));
}

}  // namespace morvane::testing
