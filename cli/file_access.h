// What every file command shares: the check that the file can be read (a missing or unreadable
// file is one line on stderr and exit code 1), opening its metadata, and printing the logic's
// texts as single UTF-8 output lines.
#pragma once

#include <cstddef>
#include <string>

namespace morvane {
class TTif;
}

namespace morvane::cli {

// True when the file exists and can be opened for reading; otherwise prints why.
bool CheckReadableFile(const std::string& path);

// Opens the file's metadata into `tif` (not silently); returns the failure's message, empty
// when there was none. What was read before a failure stays in `tif`.
std::string OpenMetadata(TTif& tif, const std::string& path);

// The text in UTF-8 with control characters written as \xNN, so that it stays one output line;
// cut after `max_characters` characters of the original.
std::string OutputText(const std::string& ansi, size_t max_characters = std::string::npos);

}  // namespace morvane::cli
