// What every file command shares: why a file cannot be read (the system's reason, for a
// message naming the file), the failure of a type the engine does not handle, opening a file's
// metadata, and printing the logic's texts as single UTF-8 output lines.
#pragma once

#include <cstddef>
#include <string>

#include "cli/file_result.h"

namespace morvane {
class TTif;
}

namespace morvane::cli {

// Empty when the file exists, is a regular file and can be opened for reading; otherwise the
// reason ("No such file or directory", "Is a directory", "Permission denied", "not a regular
// file").
std::string UnreadableReason(const std::string& path);

// The failure of a named file whose type the engine does not handle and in which reading
// found nothing.
TFileResult UnsupportedType(const std::string& path);

// Opens the file's metadata into `tif` (not silently); returns the failure's message, empty
// when there was none. What was read before a failure stays in `tif`.
std::string OpenMetadata(TTif& tif, const std::string& path);

// The text in UTF-8 with control characters written as \xNN, so that it stays one output line;
// cut after `max_characters` characters of the original.
std::string OutputText(const std::string& ansi, size_t max_characters = std::string::npos);

}  // namespace morvane::cli
