// The image size of a file as "width x height", upright by its orientation.
#pragma once

#include <string>

namespace morvane {

class TTif;

// The size text of the image; also kept in `tif.ImgDimensions`. Empty when the file names no size.
std::string ComputeImgDimensions(TTif& tif);

}  // namespace morvane
