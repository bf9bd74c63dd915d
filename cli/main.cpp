// The command-line program: thumbnails, info tips and metadata listings of one file at a time.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/commands.h"

namespace morvane::cli {

namespace {

const TCommand kCommands[] = {
    {"dump", "FILE", "every directory and tag of a file with its raw value", RunDump},
    {"tags", "FILE", "the tag listing of a file, every value as a photographer reads it", RunTags},
    {"info", "FILE", "the info tip of a file: camera, date, exposure, lens, type and size", RunInfo},
    {"thumb", "FILE -o OUT.png [--size N | --width W --height H]", "the thumbnail of a file, as PNG or JPEG", RunThumb},
    {"cache", "stats | prune", "the thumbnail cache: its size and stale rows, or delete those rows", RunCache},
};

void PrintUsage(std::FILE* out) {
  std::fprintf(out, "usage: morvane COMMAND ARGUMENTS\n\ncommands:\n");
  for (const TCommand& c : kCommands) std::fprintf(out, "  %-6s %-40s %s\n", c.Name, c.Usage, c.Summary);
  std::fprintf(out, "  --help  this text\n");
}

}  // namespace

int UsageError(const std::string& message) {
  if (!message.empty()) std::fprintf(stderr, "morvane: %s\n", message.c_str());
  PrintUsage(stderr);
  return 2;
}

}  // namespace morvane::cli

int main(int argc, char** argv) {
  using namespace morvane::cli;
  std::setlocale(LC_ALL, "");
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    PrintUsage(stdout);
    return 0;
  }
  if (argc < 2) return UsageError("no command given");
  for (const TCommand& c : kCommands) {
    if (std::strcmp(argv[1], c.Name) == 0) return c.Run(Arguments(argv + 2, argv + argc));
  }
  return UsageError(std::string("unknown command '") + argv[1] + "'");
}
