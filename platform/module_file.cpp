#include "platform/module_file.h"

#include <vector>

#include "platform/file_path.h"

namespace morvane {

namespace {

// The longest path the system's wide calls give.
constexpr DWORD kMaxPathUnits = 32768;

}  // namespace

#if defined(_WIN32)

namespace {

std::string PathOfUnits(const wchar_t* units, DWORD length) {
  return PathFromUtf16(std::u16string(units, units + length));
}

}  // namespace

std::string ModuleFilePath(HMODULE module) {
  std::vector<wchar_t> name(kMaxPathUnits, L'\0');
  const DWORD length = GetModuleFileNameW(module, name.data(), kMaxPathUnits);
  if (length == 0 || length >= kMaxPathUnits) return {};
  std::vector<wchar_t> long_form(kMaxPathUnits, L'\0');
  const DWORD long_length = GetLongPathNameW(name.data(), long_form.data(), kMaxPathUnits);
  if (long_length > 0 && long_length < kMaxPathUnits) return PathOfUnits(long_form.data(), long_length);
  return PathOfUnits(name.data(), length);
}

std::string ShortPathOf(const std::string& path) {
  std::vector<wchar_t> short_form(kMaxPathUnits, L'\0');
  const DWORD length = GetShortPathNameW(FileSystemPath(path).c_str(), short_form.data(), kMaxPathUnits);
  if (length == 0 || length >= kMaxPathUnits) return path;
  return PathOfUnits(short_form.data(), length);
}

#else

std::string ModuleFilePath(HMODULE module) {
  std::vector<char> name(kMaxPathUnits, '\0');
  const DWORD length = GetModuleFileNameA(module, name.data(), kMaxPathUnits);
  std::string path(name.data(), length);
  std::vector<char> long_form(kMaxPathUnits, '\0');
  const DWORD long_length = GetLongPathNameA(path.c_str(), long_form.data(), kMaxPathUnits);
  if (long_length > 0 && long_length < kMaxPathUnits) path.assign(long_form.data(), long_length);
  return path;
}

std::string ShortPathOf(const std::string& path) {
  std::vector<char> short_form(kMaxPathUnits, '\0');
  const DWORD length = GetShortPathNameA(path.c_str(), short_form.data(), kMaxPathUnits);
  if (length == 0 || length >= kMaxPathUnits) return path;
  return std::string(short_form.data(), length);
}

#endif

}  // namespace morvane
