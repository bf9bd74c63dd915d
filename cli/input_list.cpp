#include "cli/input_list.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <utility>

#include "platform/text.h"
#include "shellext/handler_table.h"

namespace morvane::cli {

namespace {

// Deeper folders than this are reported and not entered: the walk's own bound, far beyond any
// real library.
constexpr size_t kMaxFolderDepth = 256;

using TFolderId = std::pair<dev_t, ino_t>;

struct TFolderVisit {
  std::string Path;
  std::string Relative;
  std::vector<TFolderId> Ancestors;  // the folders above it on this walk, itself last
};

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

class TFolderWalk {
 public:
  TFolderWalk(std::vector<TInput>& entries, TTypeUse use) : entries_(entries), use_(use) {}

  void Walk(const std::string& path, const struct stat& info) {
    std::vector<TFolderVisit> pending;
    const TFolderId id{info.st_dev, info.st_ino};
    visited_.insert(id);
    pending.push_back({path, "", {id}});
    while (!pending.empty()) {
      TFolderVisit folder = std::move(pending.back());
      pending.pop_back();
      ReadFolder(folder, pending);
    }
  }

 private:
  void ReadFolder(const TFolderVisit& folder, std::vector<TFolderVisit>& pending) {
    DIR* dir = opendir(folder.Path.c_str());
    if (dir == nullptr) {
      Add(TInput::Failure, folder.Path, folder.Relative, std::strerror(errno));
      return;
    }
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      const std::string path = JoinPath(folder.Path, name);
      const std::string relative = JoinPath(folder.Relative, name);
      struct stat info {};
      if (stat(path.c_str(), &info) != 0) {
        Add(TInput::Failure, path, relative, std::strerror(errno));
      } else if (!S_ISDIR(info.st_mode)) {
        Add(IsSupportedType(path, use_) ? TInput::File : TInput::Skipped, path, relative, "");
      } else {
        const TFolderId id{info.st_dev, info.st_ino};
        if (std::find(folder.Ancestors.begin(), folder.Ancestors.end(), id) != folder.Ancestors.end()) {
          Add(TInput::Notice, path, relative, "symbolic link loop, not followed");
        } else if (folder.Ancestors.size() >= kMaxFolderDepth) {
          Add(TInput::Failure, path, relative, "folders nested too deeply, not entered");
        } else if (visited_.insert(id).second) {
          std::vector<TFolderId> ancestors = folder.Ancestors;
          ancestors.push_back(id);
          pending.push_back({path, relative, std::move(ancestors)});
        }
        // A folder reached again by another link was walked already.
      }
    }
    closedir(dir);
  }

  void Add(TInput::TKind kind, const std::string& path, const std::string& relative, const std::string& message) {
    entries_.push_back({kind, path, relative, message});
  }

  std::vector<TInput>& entries_;
  TTypeUse use_;
  std::set<TFolderId> visited_;
};

}  // namespace

bool IsSupportedType(const std::string& path, TTypeUse use) {
  const std::string extension = ExtractFileExt(NameOf(path));
  if (extension.empty()) return false;
  return std::any_of(kHandlerTable.begin(), kHandlerTable.end(), [&](const THandlerRow& row) {
    const bool serves = use == TTypeUse::Metadata || (use == TTypeUse::Thumbnail) == (row.Kind == hkExtractImage);
    return serves && SameText(row.FileType, extension);
  });
}

TInputList ExpandInputs(const std::vector<std::string>& names, bool recursive, TTypeUse use) {
  TInputList list;
  list.Several = names.size() > 1;
  TFolderWalk walk(list.Entries, use);
  for (const std::string& name : names) {
    struct stat info {};
    if (stat(name.c_str(), &info) != 0) {
      list.Entries.push_back({TInput::Failure, name, NameOf(name), std::strerror(errno)});
    } else if (!S_ISDIR(info.st_mode)) {
      list.Entries.push_back({TInput::File, name, NameOf(name), ""});
    } else if (!recursive) {
      list.Entries.push_back({TInput::Failure, name, NameOf(name), std::strerror(EISDIR)});
    } else {
      list.Several = true;
      walk.Walk(name, info);
    }
  }
  std::stable_sort(list.Entries.begin(), list.Entries.end(),
                   [](const TInput& a, const TInput& b) { return a.Path < b.Path; });
  list.Entries.erase(std::unique(list.Entries.begin(), list.Entries.end(),
                                 [](const TInput& a, const TInput& b) { return a.Path == b.Path; }),
                     list.Entries.end());
  return list;
}

}  // namespace morvane::cli
