// File existence, size and last-write time, removing a file and linking a finished file into place, and the case-insensitive sibling lookup that
// sidecar files need on file systems that tell letter cases apart.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace morvane {

// True for an existing file that is not a directory.
bool FileExists(const std::string& path);
std::optional<uint64_t> GetFileSize(const std::string& path);
// Last-write time in seconds since 1970 (UTC).
std::optional<int64_t> GetFileLastWriteTime(const std::string& path);

// The path of an existing file in the same folder as `path` whose name equals the name of
// `path` ignoring letter case: `path` itself when it exists, else the first match in the
// folder, else nothing.
std::optional<std::string> FindFileIgnoringCase(const std::string& path);

// Deletes a file; a file that cannot be deleted is left as it is.
void RemoveFile(const std::string& path);
// Puts the finished file `from` in place at `to` unless a file is there already; `from` is gone
// afterwards either way. False when `to` was not made from `from`, with `reason` set when that
// was for another cause than an existing `to`.
bool LinkFileInPlace(const std::string& from, const std::string& to, std::string& reason);

}  // namespace morvane
