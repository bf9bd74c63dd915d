// Fuzzes what the metadata becomes as text: the tag listing of every directory and dictionary
// over a file read in full, and the info tip's summary and lens lines over the same bytes read
// as the tip reads them. The file's name, chosen by the input's size, decides the container
// and the file-type rules (raw, TIFF, DNG, JPEG).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "metadata/tif_reader.h"
#include "platform/errors.h"
#include "presentation/image_dimensions.h"
#include "presentation/info_tip.h"
#include "presentation/tag_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace morvane;
  static const char* const kNames[] = {"fuzz.nef", "fuzz.tif", "fuzz.dng", "fuzz.jpg", "fuzz.cr2"};
  const std::string name = kNames[size % (sizeof kNames / sizeof kNames[0])];
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  {
    TMemoryStream stream(bytes);
    TTif tif;
    tif.FileName = name;
    tif.Open(stream, true, false);
    std::vector<std::string> list;
    try {
      GetTagList(tif, list, ikAll);
    } catch (const EMorvaneError&) {
    }
    try {
      GetSummary(tif, " ", false);
      ComputeImgDimensions(tif);
    } catch (const EMorvaneError&) {
    }
  }
  TMemoryStream stream(bytes);
  TTifTags filter;
  for (int tag : InfoTipTags()) filter.Add()->TagNumber = tag;
  TTif tif;
  tif.TagFilter = &filter;
  tif.FileName = name;
  tif.FullDng = false;
  tif.Open(stream, true, false);
  InfoTipText(tif, "NEF", size);
  return 0;
}
