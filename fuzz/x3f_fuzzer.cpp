// Fuzzes the X3F reader: its header, directory of sections, property lists and the embedded
// JPEG previews whose metadata it reads.
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
    tif.ReadX3F(stream);
  } catch (const EMorvaneError&) {
  }
  return 0;
}
