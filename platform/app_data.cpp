#include "platform/app_data.h"

#include <filesystem>

#if defined(_WIN32)
#include <cwchar>

#include "platform/file_path.h"
#include "platform/windows_api.h"
#else
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace morvane {

#if defined(_WIN32)

// The "AppData" value of the shell's folder list for the current user, read in its wide form so
// that a profile folder outside the ANSI code page is found too; empty when the key or the value
// cannot be read.
std::string UserApplicationDataFolder() {
  std::string folder;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                    KEY_READ, &key) == ERROR_SUCCESS) {
    wchar_t value[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH * sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, L"AppData", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
      const std::u16string wide(value, value + wcsnlen(value, size / sizeof(wchar_t)));
      folder = PathFromUtf16(wide);
    }
    RegCloseKey(key);
  }
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

bool ForceDirectories(const std::string& folder) {
  std::error_code error;
  const std::wstring wide = FileSystemPath(folder);
  std::filesystem::create_directories(wide, error);
  return std::filesystem::is_directory(wide, error);
}

#else

std::string UserApplicationDataFolder() {
  std::string folder;
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg != nullptr && *xdg == '/') {
    folder = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
      const passwd* user = ::getpwuid(::getuid());
      home = user != nullptr ? user->pw_dir : "";
    }
    folder = std::string(home) + "/.cache";
  }
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

bool ForceDirectories(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return std::filesystem::is_directory(folder, error);
}

#endif

}  // namespace morvane
