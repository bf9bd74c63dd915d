#include "platform/file_path.h"

#if defined(_WIN32)

#include "platform/windows_api.h"

namespace morvane {

std::wstring FileSystemPath(const std::string& path) {
  if (path.empty()) return {};
  const int length = MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(), length);
  return wide;
}

}  // namespace morvane

#endif
