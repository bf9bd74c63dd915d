// The program's commands. main.cpp parses the command line into these arguments; each command
// lists its inputs, runs its per-file work over them through the batch runner and returns the
// process exit code (see batch_runner.h; 2 for a wrong call).
#pragma once

#include <string>
#include <vector>

#include "cli/file_result.h"
#include "cli/input_list.h"

namespace morvane::cli {

struct TBatchArguments {
  std::vector<std::string> Inputs;  // files and folders
  bool Recursive = false;
  int Workers = 1;
  bool Json = false;
};

struct TThumbArguments : TBatchArguments {
  std::string Output;  // a .png or .jpg file for one input, a folder for several
  int Size = 0;
  int Width = 0;
  int Height = 0;
};

struct TPrefillArguments : TBatchArguments {
  std::string Size = "normal";  // the desktop cache's size name
};

int RunDump(const TBatchArguments& arguments);
int RunTags(const TBatchArguments& arguments);
int RunInfo(const TBatchArguments& arguments);
int RunThumb(const TThumbArguments& arguments);
// `cache stats` or `cache prune`: the thumbnail cache as a whole.
int RunCache(const std::string& action);
// The desktop's thumbnailer: one file's picture as a PNG of at most size x size pixels.
int RunThumbnailer(int size, const std::string& input, const std::string& output);
// The desktop's thumbnail cache filled for many files.
int RunPrefill(const TPrefillArguments& arguments);

// The per-file work of each command: the exact output the command prints for the file.
TFileResult DumpOfFile(const TInput& input);
TFileResult TagsOfFile(const TInput& input, bool json);
TFileResult InfoOfFile(const TInput& input, bool json);

// Prints "morvane: MESSAGE" and the command's one-line usage with a hint to stderr; returns 2.
int UsageError(const std::string& command, const std::string& message);

}  // namespace morvane::cli
