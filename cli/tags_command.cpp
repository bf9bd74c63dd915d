// `morvane tags FILE`: the tag listing of a file as a photographer reads it, one "label=value"
// line per tag, the settings of packed maker-note values one per line, groups closed by "=".
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/file_check.h"
#include "metadata/tif_reader.h"
#include "platform/code_page.h"
#include "platform/text.h"

namespace morvane::cli {

namespace {

// A listing line as UTF-8, control characters (line breaks inside a comment, binary bytes of
// undefined data) written as \xNN so that every listing line stays one output line.
std::string OutputLine(const std::string& ansi) {
  std::string escaped;
  escaped.reserve(ansi.size());
  for (char c : ansi) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F)
      escaped += Format("\\x%02X", u);
    else
      escaped += c;
  }
  return AnsiToUtf8(escaped);
}

}  // namespace

int RunTags(const Arguments& arguments) {
  if (arguments.size() != 1) return UsageError("tags takes one FILE");
  const std::string& path = arguments[0];
  if (!CheckReadableFile(path)) return 1;

  TTif tif;
  tif.FileName = path;
  std::string failure;
  try {
    tif.Open(false, false);
  } catch (const std::exception& e) {
    failure = e.what();  // what was read before the failure is still listed
  }
  std::vector<std::string> lines;
  try {
    tif.GetTagList(lines, ikAll);
  } catch (const std::exception& e) {
    if (failure.empty()) failure = e.what();  // the lines listed before it stay
  }
  for (const std::string& line : lines) std::printf("%s\n", OutputLine(line).c_str());
  if (!failure.empty()) std::fprintf(stderr, "morvane: %s: %s\n", path.c_str(), failure.c_str());
  return 0;
}

}  // namespace morvane::cli
