#include "cli/file_check.h"

#include <cstdio>

#include "platform/files.h"
#include "platform/stream.h"

namespace morvane::cli {

bool CheckReadableFile(const std::string& path) {
  if (!FileExists(path)) {
    std::fprintf(stderr, "morvane: %s: no such file\n", path.c_str());
    return false;
  }
  try {
    TFileStream probe(path);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "morvane: %s: cannot be read\n", path.c_str());
    return false;
  }
  return true;
}

}  // namespace morvane::cli
