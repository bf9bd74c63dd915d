// Stand-in for the kernel and user services the shell extension calls: the library entry
// reasons, thread identity, module file names and path forms, the platform version and a
// message box (written to the standard error stream here).
#pragma once

#include "platform/com_types.h"

inline constexpr DWORD DLL_PROCESS_DETACH = 0;
inline constexpr DWORD DLL_PROCESS_ATTACH = 1;
inline constexpr DWORD DLL_THREAD_ATTACH = 2;
inline constexpr DWORD DLL_THREAD_DETACH = 3;

DWORD GetCurrentThreadId();
// Thread attach and detach notifications do not exist here; the call only succeeds.
BOOL DisableThreadLibraryCalls(HMODULE hLibModule);

// The file of the loaded module (the program for a null module). Returns the characters
// copied without the zero; a name that does not fit is cut to nSize - 1 characters.
DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
// This file system has no short names: both forms are the path itself. Returns the length
// copied, or the buffer size needed (with the zero) when cchBuffer is too small.
DWORD GetLongPathNameA(LPCSTR lpszShortPath, LPSTR lpszLongPath, DWORD cchBuffer);
DWORD GetShortPathNameA(LPCSTR lpszLongPath, LPSTR lpszShortPath, DWORD cchBuffer);

inline constexpr DWORD VER_PLATFORM_WIN32s = 0;
inline constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
};
typedef OSVERSIONINFOA* LPOSVERSIONINFOA;

// Reports an NT-family system unless a test has chosen another platform id.
BOOL GetVersionExA(LPOSVERSIONINFOA lpVersionInformation);

inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_ICONSTOP = 0x10;
inline constexpr UINT MB_ICONERROR = 0x10;
inline constexpr UINT MB_SETFOREGROUND = 0x10000;
inline constexpr int IDOK = 1;

// Writes "caption: text" as one line to the standard error stream and answers IDOK.
int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);

namespace morvane {
// Test hook of the stand-in: the platform id GetVersionExA reports from now on.
void StandInSetPlatformId(DWORD platform_id);
}  // namespace morvane
