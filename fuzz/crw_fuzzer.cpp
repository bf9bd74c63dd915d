// Fuzzes the CRW reader: the heap's directory at the end of the file, the fixed places of make
// and model and the search for the make-and-model record, then the copy into IFD0.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "metadata/crw_reader.h"
#include "metadata/tif_reader.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace morvane;
  TMemoryStream stream(std::string_view(reinterpret_cast<const char*>(data), size));
  TTif tif;
  tif.FileName = "fuzz.crw";
  try {
    tif.Open(stream, false, false);
  } catch (const EMorvaneError&) {
  }
  tif.GetMake();
  tif.GetModel();
  return 0;
}
