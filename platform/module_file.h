// The file a loaded module came from and the short form of a path, both in the logic's path
// form, so that a library installed in a folder outside the ANSI code page still names itself
// correctly when it registers.
#pragma once

#include <string>

#include "platform/windows_api.h"

namespace morvane {

// The long form of the module's file (the program's for a null module).
std::string ModuleFilePath(HMODULE module);
// The path's short (8.3) form where the file system has one; else the path itself.
std::string ShortPathOf(const std::string& path);

}  // namespace morvane
