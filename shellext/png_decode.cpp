// PNG decoding through libpng's simplified API, from memory, into 8-bit RGBA.
#include <png.h>

#include "platform/errors.h"
#include "shellext/logo.h"

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

}  // namespace morvane
