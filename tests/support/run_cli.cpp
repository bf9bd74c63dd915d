#include "support/run_cli.h"

#include <sys/wait.h>

#include <cstdio>

#include "support/temp_file.h"

namespace morvane::testing {

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

CliResult RunCli(const std::string& args, const std::string& environment) {
  TempDir dir;
  const std::string out = dir.Path() + "/out";
  const std::string err = dir.Path() + "/err";
  const std::string command = environment + " " + ShellQuote(MORVANE_CLI_PATH) + " " + args + " >" +
                              ShellQuote(out) + " 2>" + ShellQuote(err) + " </dev/null";
  const int status = std::system(command.c_str());
  CliResult result;
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadFileBytes(out);
  result.err = ReadFileBytes(err);
  return result;
}

}  // namespace morvane::testing
