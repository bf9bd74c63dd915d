// Fuzzes the Paint Shop Pro reader: the search for its EXIF block and the TIFF structure read
// from it against the copy of the file's start that its values come from.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "metadata/tif_reader.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace morvane;
  for (const bool quick_scan : {false, true}) {
    TMemoryStream stream(std::string_view(reinterpret_cast<const char*>(data), size));
    TTif tif;
    try {
      tif.ReadPsp(stream, quick_scan);
    } catch (const EMorvaneError&) {
    }
  }
  return 0;
}
