// Fuzzes the preview loader on a stream: each raw format's strategy (first strip, DNG preview
// sub-directories, largest thumbnail, maker-note thumbnail, NEF sub-directory previews, the
// TIFF fallback through libtiff) at small and large requested sizes. The input's size chooses
// the format and the size, so every strategy gets inputs.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/errors.h"
#include "thumbnail/jpeg_graphic.h"
#include "thumbnail/preview_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace morvane;
  static const char* const kNames[] = {"f.cr2", "f.dng", "f.pef", "f.orf", "f.nef"};
  static const int32_t kSizes[] = {96, 256, 1024, 4000};
  constexpr size_t kNameCount = sizeof kNames / sizeof kNames[0];
  TMemoryStream stream(std::string_view(reinterpret_cast<const char*>(data), size));
  TQuickLoader loader;
  loader.MinSize = kSizes[(size / kNameCount) % (sizeof kSizes / sizeof kSizes[0])];
  TJpegGraphic image;
  try {
    loader.LoadPreview(stream, kNames[size % kNameCount], image);
  } catch (const EMorvaneError&) {
  }
  return 0;
}
