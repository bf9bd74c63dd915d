// Fuzzes the redrawing of a stored cache blob: a thumbnail JPEG read back from the cache is
// decoded and drawn centred on a bitmap of a requested size, as the shell's cache hit does.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/errors.h"
#include "thumbnail/imaging/canvas.h"
#include "thumbnail/thumbnail_maker.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace morvane;
  TMemoryStream blob(std::string_view(reinterpret_cast<const char*>(data), size));
  TMRV maker;
  TBitmap bitmap;
  try {
    maker.DrawCachedThumbnail(blob, 96, 96, bitmap);
  } catch (const EMorvaneError&) {
  }
  return 0;
}
