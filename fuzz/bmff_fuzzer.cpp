// Fuzzes the box walk and the CR3 reader: every box of every level down to the depth limit, the
// metadata blocks read into the directories, and the places of THMB, PRVW and the first track's
// JPEG, which must lie inside the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "metadata/bmff_reader.h"
#include "metadata/cr3_reader.h"
#include "metadata/tif_reader.h"
#include "platform/errors.h"

namespace {

using namespace morvane;

void WalkAll(TBmffWalk& walk, const std::vector<TBmffBox>& boxes) {
  for (const TBmffBox& box : boxes) {
    if (box.Start < 0 || box.Body < box.Start || box.End < box.Body) std::abort();
    WalkAll(walk, walk.Children(box));
  }
}

void CheckInside(const std::optional<TByteRange>& range, int64_t size) {
  if (range && (range->Offset < 0 || range->Size < 0 || range->Offset + range->Size > size)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream(std::string_view(reinterpret_cast<const char*>(data), size));
  TBmffWalk walk(stream);
  WalkAll(walk, walk.TopLevel());

  const TCr3Pictures pictures = FindCr3Pictures(stream);
  CheckInside(pictures.Thumbnail, stream.Size());
  CheckInside(pictures.Preview, stream.Size());
  CheckInside(pictures.FullSize, stream.Size());

  TTif tif;
  tif.FileName = "fuzz.cr3";
  try {
    tif.ReadCr3(stream, false);
  } catch (const EMorvaneError&) {
  }
  tif.GetMake();
  return 0;
}
