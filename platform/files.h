// File existence, size and last-write time, and the case-insensitive sibling lookup that
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

}  // namespace morvane
