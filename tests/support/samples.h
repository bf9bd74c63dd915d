// The real camera files of the shared sample folder, when it exists.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/files.h"

namespace morvane::testing {

// The path of the sample file `name`, or none when the sample folder or the file is absent. The
// environment variable MORVANE_SAMPLES_DIR, when set, names the folder instead of the built-in one.
inline std::optional<std::string> SampleFile(const std::string& name) {
  const char* folder = std::getenv("MORVANE_SAMPLES_DIR");
  const std::string path = std::string(folder != nullptr ? folder : MORVANE_SAMPLES_DIR) + "/" + name;
  if (!FileExists(path)) return std::nullopt;
  return path;
}

}  // namespace morvane::testing
