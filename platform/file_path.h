// The file system's own form of a path. The logic keeps paths as 8-bit text in the ANSI code
// page; on Windows every file call takes the wide form made here.
#pragma once

#include <string>

#if defined(_WIN32)

namespace morvane {

std::wstring FileSystemPath(const std::string& path);

}  // namespace morvane

#endif
