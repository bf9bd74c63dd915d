// What the work on one file hands back to the batch runner: how it ended, and the exact bytes
// of its standard output and standard error. The runner prints them in input order, so work
// done in another process or out of order still reads as one sequential run.
#pragma once

#include <cstdint>
#include <string>

namespace morvane::cli {

enum class TOutcome : uint8_t {
  Made,          // output produced from the file itself
  FromCache,     // a fresh cached thumbnail answered the request
  NoThumbnail,   // the file was read, but holds nothing to draw
  Skipped,       // a type the engine does not handle, met while walking a folder
  Failed,        // missing, unreadable, a folder, or a type whose reading found nothing
  Noted,         // not a file: a remark on the walk (a link loop), which counts as nothing
  CacheFailure,  // the thumbnail cache cannot be opened or read: the whole run stops
};

struct TFileResult {
  TOutcome Outcome = TOutcome::Made;
  std::string Out;
  std::string Err;
};

// A failure of `path` with its reason, as the one stderr line "morvane: PATH: REASON".
TFileResult FailedFile(const std::string& path, const std::string& reason);

}  // namespace morvane::cli
