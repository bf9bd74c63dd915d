#include "platform/files.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

#include "platform/text.h"

namespace morvane {

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
  while (const dirent* entry = ::readdir(dir.get())) {
    if (!SameText(entry->d_name, name)) continue;
    const std::string candidate =
        slash == std::string::npos ? std::string(entry->d_name) : path.substr(0, slash + 1) + entry->d_name;
    if (FileExists(candidate)) return candidate;
  }
  return std::nullopt;
}

}  // namespace morvane
