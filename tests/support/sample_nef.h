// The bundled sample: a small NEF-like file with the structure of a real one (IFD0 with
// sub-directories, a 640x426 JPEG preview, EXIF, GPS, a Nikon type-3 maker note with lens data).
#pragma once

#include <string>

namespace morvane::testing {

std::string BuildSampleNef();

}  // namespace morvane::testing
