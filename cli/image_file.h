// Writing a finished picture to a file the way every command does: under a hidden temporary
// name beside the target, renamed into place only when whole, so that an interrupted or failed
// write never leaves a partial image under the real name.
#pragma once

#include <sys/types.h>

#include <string>

#include "thumbnail/imaging/raster.h"
#include "thumbnail/png_codec.h"

namespace morvane::cli {

struct TImageFileOptions {
  bool Jpeg = false;  // a JPEG (quality 90) instead of a PNG
  TPngTexts Texts;    // a PNG's text chunks
  mode_t Mode = 0;    // the file's permissions; 0 leaves them to the umask
};

// Empty when written; otherwise why not ("cannot be written: REASON").
std::string WriteImageFile(const TRaster& raster, const std::string& path, const TImageFileOptions& options = {});

}  // namespace morvane::cli
