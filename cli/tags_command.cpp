// `morvane tags FILE`: the tag listing of a file as a photographer reads it, one "label=value"
// line per tag, the settings of packed maker-note values one per line, groups closed by "=".
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/file_access.h"
#include "metadata/tif_reader.h"

namespace morvane::cli {

int RunTags(const Arguments& arguments) {
  if (arguments.size() != 1) return UsageError("tags takes one FILE");
  const std::string& path = arguments[0];
  if (!CheckReadableFile(path)) return 1;

  TTif tif;
  std::string failure = OpenMetadata(tif, path);  // what was read before it is still listed
  std::vector<std::string> lines;
  try {
    tif.GetTagList(lines, ikAll);
  } catch (const std::exception& e) {
    if (failure.empty()) failure = e.what();  // the lines listed before it stay
  }
  for (const std::string& line : lines) std::printf("%s\n", OutputText(line).c_str());
  if (!failure.empty()) std::fprintf(stderr, "morvane: %s: %s\n", path.c_str(), OutputText(failure).c_str());
  return 0;
}

}  // namespace morvane::cli
