// Fuzzes the IPTC record reader on the bytes of one resource, in both byte orders, into a
// directory of pseudo-tags (repeatable datasets gathered into comma texts).
#include <cstddef>
#include <cstdint>

#include "metadata/iptc.h"
#include "metadata/tif_ifd.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace morvane;
  for (const TTifByteOrder order : {tboMotorola, tboIntel}) {
    TIPTCResource resource;
    resource.Code = kResourceIptc;
    resource.DataStream.Write(data, size);
    resource.DataStream.Seek(0);
    TTifIFD directory;
    try {
      resource.ReadIPTC(&directory, order);
    } catch (const EMorvaneError&) {
    }
    for (const auto& tag : directory.Tags) tag->GetValue();
  }
  return 0;
}
