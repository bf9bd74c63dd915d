// Fuzzes JPEG decoding through libjpeg with the size checks in front of it: the header, the
// image-size bound against the bytes that exist, scans, colour spaces and data that ends early.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/errors.h"
#include "thumbnail/jpeg_graphic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace morvane;
  TMemoryStream stream(std::string_view(reinterpret_cast<const char*>(data), size));
  TJpegGraphic image;
  try {
    image.LoadFromStream(stream);
  } catch (const EMorvaneError&) {
  }
  return 0;
}
