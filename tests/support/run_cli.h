// Runs the built command-line program and captures its output and exit code.
#pragma once

#include <string>

namespace morvane::testing {

struct CliResult {
  int exit_code = -1;
  std::string out;
  std::string err;
};

// Runs `morvane ARGS` (ARGS already shell-quoted) with the environment additions given.
CliResult RunCli(const std::string& args, const std::string& environment = "");
std::string ShellQuote(const std::string& text);

}  // namespace morvane::testing
