// The files a command works on, from the files and folders named on the command line: every
// named file, the supported files of named folders with -r (symbolic links followed once, a
// loop reported and not followed, an unreadable folder reported), all in sorted path order so
// that the output is the same whatever the number of workers.
#pragma once

#include <string>
#include <vector>

namespace morvane::cli {

struct TInput {
  enum TKind { File, Failure, Notice, Skipped };
  TKind Kind = File;
  std::string Path;
  std::string Relative;  // below the named folder it was found in; the name of a named file
  std::string Message;   // why it failed, or what the notice says
};

struct TInputList {
  std::vector<TInput> Entries;
  bool Several = false;  // more than one name, or a folder: the output marks each file
};

TInputList ExpandInputs(const std::vector<std::string>& names, bool recursive);

// True for a file type the engine handles (the shell extension's list of types).
bool IsSupportedType(const std::string& path);

}  // namespace morvane::cli
