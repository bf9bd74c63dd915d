// `morvane thumbnailer --size N INPUT OUTPUT`: the desktop's external thumbnailer. Writes the
// file's best preview as a PNG whose longer side is at most N, upright, with nothing drawn around
// it (the file manager frames thumbnails itself). A file with nothing to show exits 1 with one
// line saying why, so the file manager records the failure. It reads only INPUT and writes only
// OUTPUT: no cache, no home folder (it runs in sandboxes that have neither), no sidecars needed.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/commands.h"
#include "cli/file_access.h"
#include "thumbnail/png_codec.h"
#include "thumbnail/thumbnail_maker.h"

namespace morvane::cli {

namespace {

int Failure(const std::string& path, const std::string& reason) {
  std::fprintf(stderr, "morvane: %s: %s\n", path.c_str(), reason.c_str());
  return 1;
}

}  // namespace

int RunThumbnailer(int size, const std::string& input, const std::string& output) {
  if (const std::string reason = UnreadableReason(input); !reason.empty()) return Failure(input, reason);
  TJpegGraphic picture;
  TThumbnailOutcome outcome;
  if (!TMRV().MakePicture(input, size, picture, &outcome, false))
    return Failure(input, outcome.Kind == TThumbnailOutcome::tkNoThumb ? "no preview in the file"
                                                                       : "the preview could not be decoded");
  // Written in place, not renamed over: the caller made the output file and may read it back
  // through the handle it still holds.
  errno = 0;
  if (!WritePngFile(picture.Raster(), output))
    return Failure(output, std::string("cannot be written") + (errno != 0 ? std::string(": ") + std::strerror(errno) : ""));
  return 0;
}

}  // namespace morvane::cli
