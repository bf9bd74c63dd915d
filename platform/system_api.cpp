// Stand-in for the kernel and user services of the shell extension, over the Linux loader and
// the standard error stream.
#if !defined(_WIN32)

#include "platform/system_api.h"

#include <dlfcn.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::atomic<DWORD> g_platform_id{VER_PLATFORM_WIN32_NT};

DWORD CopyName(const std::string& name, LPSTR buffer, DWORD size) {
  if (buffer == nullptr || size == 0) return 0;
  const size_t n = std::min<size_t>(name.size(), size - 1);
  std::memcpy(buffer, name.data(), n);
  buffer[n] = '\0';
  return static_cast<DWORD>(n);
}

DWORD CopyPath(LPCSTR source, LPSTR target, DWORD size) {
  if (source == nullptr) return 0;
  const size_t n = std::strlen(source);
  if (target == nullptr || size < n + 1) return static_cast<DWORD>(n + 1);
  std::memmove(target, source, n + 1);
  return static_cast<DWORD>(n);
}

}  // namespace

DWORD GetCurrentThreadId() { return static_cast<DWORD>(::syscall(SYS_gettid)); }

BOOL DisableThreadLibraryCalls(HMODULE) { return TRUE; }

DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  std::string name;
  if (hModule == nullptr) {
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n > 0) name.assign(path, static_cast<size_t>(n));
  } else {
    // A module handle is the address the library is mapped at; the loader names its file.
    Dl_info info{};
    if (::dladdr(hModule, &info) != 0 && info.dli_fname != nullptr) name = info.dli_fname;
  }
  return CopyName(name, lpFilename, nSize);
}

DWORD GetLongPathNameA(LPCSTR lpszShortPath, LPSTR lpszLongPath, DWORD cchBuffer) {
  return CopyPath(lpszShortPath, lpszLongPath, cchBuffer);
}

DWORD GetShortPathNameA(LPCSTR lpszLongPath, LPSTR lpszShortPath, DWORD cchBuffer) {
  return CopyPath(lpszLongPath, lpszShortPath, cchBuffer);
}

BOOL GetVersionExA(LPOSVERSIONINFOA info) {
  if (info == nullptr || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA)) return FALSE;
  info->dwMajorVersion = 10;
  info->dwMinorVersion = 0;
  info->dwBuildNumber = 19045;
  info->dwPlatformId = g_platform_id.load();
  info->szCSDVersion[0] = '\0';
  return TRUE;
}

int MessageBoxA(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT) {
  std::fprintf(stderr, "%s: %s\n", lpCaption != nullptr ? lpCaption : "Error", lpText != nullptr ? lpText : "");
  return IDOK;
}

namespace morvane {
void StandInSetPlatformId(DWORD platform_id) { g_platform_id.store(platform_id); }
}  // namespace morvane

#endif
