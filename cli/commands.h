// The program's commands. Each command takes its arguments (after the command name) and returns
// the process exit code: 0 done, 1 the file could not be read, 2 a wrong call.
#pragma once

#include <string>
#include <vector>

namespace morvane::cli {

using Arguments = std::vector<std::string>;

struct TCommand {
  const char* Name;
  const char* Usage;     // the arguments, e.g. "FILE"
  const char* Summary;   // one line for --help
  int (*Run)(const Arguments& arguments);
};

int RunDump(const Arguments& arguments);
int RunTags(const Arguments& arguments);
int RunInfo(const Arguments& arguments);
int RunThumb(const Arguments& arguments);
int RunCache(const Arguments& arguments);

// Prints the usage to stderr and returns 2.
int UsageError(const std::string& message);

}  // namespace morvane::cli
