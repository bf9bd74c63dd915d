// Fuzzes the JPEG segment walk from the byte after the start-of-image marker, and the lookups
// the JPEG reader makes in what it found: every segment kind and the frame header's size.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "metadata/jpeg_segments.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace morvane;
  TMemoryStream stream(std::string_view(reinterpret_cast<const char*>(data), size));
  stream.Seek(2);
  TJpgMarkers markers;
  try {
    markers.ReadFromStream(stream);
  } catch (const EMorvaneError&) {
  }
  for (const int kind : {jmkJfif, jmkJfxx, jmkExif, jmkXmp, jmkIccProfile, jmkMeta, jmkDucky,
                         jmkPhotoshop, jmkComment})
    markers.FindMarker(kind);
  markers.GetDimensions();
  for (const auto& marker : markers) marker->MarkerAppOrder();
  return 0;
}
