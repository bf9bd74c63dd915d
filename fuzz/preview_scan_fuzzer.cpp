// Fuzzes the embedded JPEG scanner: the search for start patterns in any bytes, the candidate
// lengths and the decoding of each candidate under the scan budget.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/errors.h"
#include "thumbnail/embedded_scan.h"
#include "thumbnail/jpeg_graphic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace morvane;
  TMemoryStream stream(std::string_view(reinterpret_cast<const char*>(data), size));
  TJpegGraphic image;
  try {
    FindEmbeddedJpeg(stream, kScanMinPixels, image);
  } catch (const EMorvaneError&) {
  }
  return 0;
}
