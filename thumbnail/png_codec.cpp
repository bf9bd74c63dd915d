#include "thumbnail/png_codec.h"

#include <csetjmp>
#include <cstdio>

#include <png.h>

#include "platform/errors.h"

namespace morvane {

TRgbaImage DecodePng(const uint8_t* bytes, size_t size) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_memory(&image, bytes, size) == 0)
    throw EMorvaneError(std::string("PNG: ") + image.message);
  image.format = PNG_FORMAT_RGBA;
  if (image.width == 0 || image.height == 0 || image.width > 4096 || image.height > 4096) {
    png_image_free(&image);
    throw EMorvaneError("PNG: unsupported size");
  }
  TRgbaImage out;
  out.Width = static_cast<int>(image.width);
  out.Height = static_cast<int>(image.height);
  out.Pixels.resize(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, out.Pixels.data(), 0, nullptr) == 0) {
    png_image_free(&image);
    throw EMorvaneError(std::string("PNG: ") + image.message);
  }
  return out;
}

namespace {

// libpng reports a failure by a jump back to the call, so the call sits alone in a function with
// no C++ object of its own, and the jump skips no destructor.
bool WritePngRows(png_structp png, png_infop info, std::FILE* file, const TRaster& raster, png_bytep* rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(raster.Width()), static_cast<png_uint_32>(raster.Height()), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // A thumbnail is written once per request: zlib's fastest level and one cheap row filter (the
  // default level with every filter tried cost more than the rest of a cached request; this
  // writes a 256-pixel thumbnail in half the bytes and a fraction of the time).
  png_set_compression_level(png, 1);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
  png_write_info(png, info);
  png_set_bgr(png);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

// The raster's rows are written as they are stored, blue first, libpng turning each pixel.
bool WritePngFile(const TRaster& raster, const std::string& path) {
  std::vector<png_bytep> rows(static_cast<size_t>(raster.Height()));
  for (int y = 0; y < raster.Height(); ++y) rows[static_cast<size_t>(y)] = const_cast<png_bytep>(raster.ScanLine(y));
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  const bool written = info != nullptr && WritePngRows(png, info, file, raster, rows.data());
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0 && written;
}

}  // namespace morvane
