// `morvane info FILE`: the info tip the shell would show for the file, in UTF-8, one line per
// tip line.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/file_access.h"
#include "platform/code_page.h"
#include "shellext/info_tip_request.h"

namespace morvane::cli {

int RunInfo(const Arguments& arguments) {
  if (arguments.size() != 1) return UsageError("info takes one FILE");
  if (!CheckReadableFile(arguments[0])) return 1;
  std::string tip = ComposeInfoTip(arguments[0]);
  std::string lines;
  for (size_t i = 0; i < tip.size(); ++i) {
    if (tip[i] == '\r' && i + 1 < tip.size() && tip[i + 1] == '\n') continue;
    lines += tip[i];
  }
  std::fputs(AnsiToUtf8(lines).c_str(), stdout);
  std::fputc('\n', stdout);
  return 0;
}

}  // namespace morvane::cli
