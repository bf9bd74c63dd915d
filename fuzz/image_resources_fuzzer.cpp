// Fuzzes the image-resource ("8BIM") block list in both byte orders, and the IPTC records of
// each block it finds, as a Photoshop file or a JPEG APP13 segment would hand them over.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "metadata/iptc.h"
#include "metadata/tif_ifd.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace morvane;
  for (const TTifByteOrder order : {tboMotorola, tboIntel}) {
    TMemoryStream stream(std::string_view(reinterpret_cast<const char*>(data), size));
    TIPTCResources resources;
    try {
      resources.ReadFromStream(&stream, order);
    } catch (const EMorvaneError&) {
    }
    resources.FindResource(kResourceIptc);
    TTifIFD directory;
    for (const auto& resource : resources) resource->ReadIPTC(&directory, order);
  }
  return 0;
}
