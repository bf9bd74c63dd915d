// `morvane info FILE`: the info tip the shell would show for the file, in UTF-8, one line per
// tip line.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/file_access.h"
#include "presentation/info_tip.h"

namespace morvane::cli {

int RunInfo(const Arguments& arguments) {
  if (arguments.size() != 1) return UsageError("info takes one FILE");
  if (!CheckReadableFile(arguments[0])) return 1;
  // The tip's lines end in CR LF; every other control character came from the file and is
  // written as \xNN, so that metadata cannot send sequences to the terminal.
  const std::string tip = ComposeInfoTip(arguments[0]);
  size_t start = 0;
  while (true) {
    const size_t end = tip.find("\r\n", start);
    std::fputs(OutputText(tip.substr(start, end == std::string::npos ? end : end - start)).c_str(), stdout);
    std::fputc('\n', stdout);
    if (end == std::string::npos) break;
    start = end + 2;
  }
  return 0;
}

}  // namespace morvane::cli
