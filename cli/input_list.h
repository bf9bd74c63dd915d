// The files a command works on, from the files and folders named on the command line: every
// named file, the files of named folders of a type the command handles, with -r (symbolic links followed once, a
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

// What a command asks of a file: the shell extension's list of types says which types the
// engine makes thumbnails of, which it gives info tips, and so which it reads at all.
enum class TTypeUse { Thumbnail, InfoTip, Metadata };

TInputList ExpandInputs(const std::vector<std::string>& names, bool recursive, TTypeUse use);

bool IsSupportedType(const std::string& path, TTypeUse use);

}  // namespace morvane::cli
