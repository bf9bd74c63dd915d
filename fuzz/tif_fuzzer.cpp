// Fuzzes Open on a stream, with every container it dispatches to (TIFF-based raws and their
// RAF, MRW and ORF variants, JPEG, PSD, PSP), the EXIF, GPS and interoperability directories,
// sub-directories, maker notes and embedded thumbnails; in the three ways the product reads
// (in full, quickly with deferred large values, with a tag filter), then the strip tables.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "metadata/tif_reader.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace morvane;
  TTifTags filter;
  for (int tag : {34665, 271, 272, 306, 37500, 34855, 513, 514, 330}) filter.Add()->TagNumber = tag;
  for (int mode = 0; mode < 3; ++mode) {
    TMemoryStream stream(std::string_view(reinterpret_cast<const char*>(data), size));
    TTif tif;
    tif.FileName = "fuzz.nef";
    if (mode == 1) tif.MaxValueSize = 512;
    if (mode == 2) tif.TagFilter = &filter;
    tif.FullDng = mode == 0;
    try {
      tif.Open(stream, false, mode == 1);
    } catch (const EMorvaneError&) {
    }
    tif.GetThumbnailStream();
    for (const auto& directory : tif.IFDs) {
      directory->BuildStrips(tif.FileName);
      for (const auto& sub : directory->SubIFDs) sub->BuildStrips(tif.FileName);
    }
  }
  return 0;
}
