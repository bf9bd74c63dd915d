// The check every file command makes first: a missing or unreadable file is a one-line
// message on stderr and exit code 1.
#pragma once

#include <string>

namespace morvane::cli {

// True when the file exists and can be opened for reading; otherwise prints why.
bool CheckReadableFile(const std::string& path);

}  // namespace morvane::cli
