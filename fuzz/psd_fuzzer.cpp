// Fuzzes the Photoshop reader: the header, the colour-mode section it skips and the image
// resources with the IPTC, EXIF, XMP and ICC data they carry.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "metadata/tif_reader.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace morvane;
  TMemoryStream stream(std::string_view(reinterpret_cast<const char*>(data), size));
  TTif tif;
  try {
    tif.ReadPsd(stream);
  } catch (const EMorvaneError&) {
  }
  return 0;
}
