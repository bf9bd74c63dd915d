// The user's per-user application-data folder, with a trailing "/". On Linux it is
// $XDG_CACHE_HOME, or ~/.cache when that is not set; on Windows the "AppData" folder the shell
// names for the current user.
#pragma once

#include <string>

namespace morvane {

std::string UserApplicationDataFolder();
// Creates the folder and every missing parent; false when it does not exist afterwards.
bool ForceDirectories(const std::string& folder);

}  // namespace morvane
