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

#include <algorithm>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

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

namespace {

// The names of the folder whose sidecars were looked up last, by their upper-case form (each
// list in ascending order), so that a run over a folder of n photos reads the folder once and
// not n times. Kept while the folder's identity and modification time stay the same; a
// folder changed within the last seconds is not kept, as a change within the same tick of
// the file system's clock would not show in its time.
struct TFolderNames {
  std::string Folder;
  dev_t Device = 0;
  ino_t Inode = 0;
  timespec Modified{};
  std::map<std::string, std::vector<std::string>> ByUpperName;
};

constexpr time_t kSettledSeconds = 2;

std::mutex g_folder_names_lock;
TFolderNames g_folder_names;

bool SameFolderState(const TFolderNames& names, const std::string& folder, const struct stat& st) {
  return names.Folder == folder && names.Device == st.st_dev && names.Inode == st.st_ino &&
         names.Modified.tv_sec == st.st_mtim.tv_sec && names.Modified.tv_nsec == st.st_mtim.tv_nsec;
}

// The entries of `folder` whose names equal `name` ignoring letter case, in ascending order.
std::vector<std::string> NamesIgnoringCase(const std::string& folder, const std::string& name) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return {};
  const std::string key = UpperCase(name);
  std::lock_guard<std::mutex> guard(g_folder_names_lock);
  if (!SameFolderState(g_folder_names, folder, st)) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return {};
    TFolderNames names{folder, st.st_dev, st.st_ino, st.st_mtim, {}};
    while (const dirent* entry = ::readdir(dir.get())) names.ByUpperName[UpperCase(entry->d_name)].push_back(entry->d_name);
    for (auto& [upper, list] : names.ByUpperName) std::sort(list.begin(), list.end());
    const auto found = names.ByUpperName.find(key);
    std::vector<std::string> matches = found != names.ByUpperName.end() ? found->second : std::vector<std::string>{};
    if (std::time(nullptr) - st.st_mtim.tv_sec >= kSettledSeconds) g_folder_names = std::move(names);
    return matches;
  }
  const auto found = g_folder_names.ByUpperName.find(key);
  return found != g_folder_names.ByUpperName.end() ? found->second : std::vector<std::string>{};
}

}  // namespace

std::optional<std::string> FindFileIgnoringCase(const std::string& path) {
  if (FileExists(path)) return path;
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  // Of several names that differ only in letter case, the smallest one wins, whatever order
  // the folder lists them in.
  for (const std::string& entry : NamesIgnoringCase(folder, name)) {
    const std::string candidate = slash == std::string::npos ? entry : path.substr(0, slash + 1) + entry;
    if (FileExists(candidate)) return candidate;
  }
  return std::nullopt;
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
