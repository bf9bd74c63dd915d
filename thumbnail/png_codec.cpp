#include "thumbnail/png_codec.h"

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

bool WritePngFile(const TRaster& raster, const std::string& path) {
  std::vector<uint8_t> rgb(static_cast<size_t>(raster.Width()) * raster.Height() * 3);
  for (int y = 0; y < raster.Height(); ++y) {
    const uint8_t* in = raster.ScanLine(y);
    uint8_t* out = rgb.data() + static_cast<size_t>(y) * raster.Width() * 3;
    for (int x = 0; x < raster.Width(); ++x, in += 3, out += 3) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(raster.Width());
  image.height = static_cast<png_uint_32>(raster.Height());
  image.format = PNG_FORMAT_RGB;
  const bool ok = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return ok;
}

}  // namespace morvane
