#include "platform/files.h"

#if defined(_WIN32)
#include "platform/file_path.h"
#include "platform/windows_api.h"
#else
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <memory>

#include "platform/text.h"
#endif

namespace morvane {

#if defined(_WIN32)

namespace {

std::optional<WIN32_FILE_ATTRIBUTE_DATA> FileAttributes(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (path.empty() || GetFileAttributesExW(FileSystemPath(path).c_str(), GetFileExInfoStandard, &data) == FALSE ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return std::nullopt;
  return data;
}

}  // namespace

bool FileExists(const std::string& path) { return FileAttributes(path).has_value(); }

std::optional<uint64_t> GetFileSize(const std::string& path) {
  const auto data = FileAttributes(path);
  if (!data) return std::nullopt;
  return (static_cast<uint64_t>(data->nFileSizeHigh) << 32) | data->nFileSizeLow;
}

std::optional<int64_t> GetFileLastWriteTime(const std::string& path) {
  const auto data = FileAttributes(path);
  if (!data) return std::nullopt;
  // 100-nanosecond ticks since 1601 to seconds since 1970.
  const uint64_t ticks =
      (static_cast<uint64_t>(data->ftLastWriteTime.dwHighDateTime) << 32) | data->ftLastWriteTime.dwLowDateTime;
  return static_cast<int64_t>(ticks / 10000000ULL) - 11644473600LL;
}

// Windows file names ignore letter case already.
std::optional<std::string> FindFileIgnoringCase(const std::string& path) {
  if (FileExists(path)) return path;
  return std::nullopt;
}

void RemoveFile(const std::string& path) { DeleteFileW(FileSystemPath(path).c_str()); }

bool LinkFileInPlace(const std::string& from, const std::string& to, std::string& reason) {
  if (MoveFileExW(FileSystemPath(from).c_str(), FileSystemPath(to).c_str(), 0) != FALSE) return true;
  const DWORD error = GetLastError();
  if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) reason = "error " + std::to_string(error);
  RemoveFile(from);
  return false;
}

#else

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::optional<uint64_t> GetFileSize(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
  return static_cast<uint64_t>(st.st_size);
}

std::optional<int64_t> GetFileLastWriteTime(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
  return static_cast<int64_t>(st.st_mtime);
}

std::optional<std::string> FindFileIgnoringCase(const std::string& path) {
  if (FileExists(path)) return path;
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) return std::nullopt;
  // Of several names that differ only in letter case, the smallest one wins, whatever order
  // the folder lists them in.
  std::optional<std::string> found;
  while (const dirent* entry = ::readdir(dir.get())) {
    if (!SameText(entry->d_name, name) || (found && entry->d_name >= *found)) continue;
    const std::string candidate =
        slash == std::string::npos ? std::string(entry->d_name) : path.substr(0, slash + 1) + entry->d_name;
    if (FileExists(candidate)) found = entry->d_name;
  }
  if (!found) return std::nullopt;
  return slash == std::string::npos ? *found : path.substr(0, slash + 1) + *found;
}

void RemoveFile(const std::string& path) { ::unlink(path.c_str()); }

bool LinkFileInPlace(const std::string& from, const std::string& to, std::string& reason) {
  const bool linked = ::link(from.c_str(), to.c_str()) == 0;
  const int link_error = errno;
  RemoveFile(from);
  if (!linked && link_error != EEXIST) reason = std::strerror(link_error);
  return linked;
}

#endif

}  // namespace morvane
