// `morvane prefill [-r] [--size normal|large|x-large|xx-large] PATH...`: fills the desktop's
// shared thumbnail cache ($XDG_CACHE_HOME/thumbnails) ahead of the file manager, in the cache's
// own format: one PNG per file, named for the MD5 of the file's URI, carrying the file's URI,
// modification time, size and MIME type in text chunks. A file whose thumbnail is already fresh
// (same URI and time) is left alone; a file with nothing to show gets a failure entry under
// fail/morvane-VERSION/ so that file managers do not try it again until it changes.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "cli/batch_runner.h"
#include "cli/commands.h"
#include "cli/desktop_types.h"
#include "cli/file_access.h"
#include "cli/image_file.h"
#include "cli/md5.h"
#include "thumbnail/thumbnail_maker.h"

namespace morvane::cli {

namespace {

constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;
constexpr const char* kSoftware = "Morvane " MORVANE_VERSION;

struct TCacheSize {
  const char* Name;
  int Pixels;
};
constexpr TCacheSize kCacheSizes[] = {{"normal", 128}, {"large", 256}, {"x-large", 512}, {"xx-large", 1024}};

// The desktop's thumbnail folder: $XDG_CACHE_HOME/thumbnails, else ~/.cache/thumbnails; empty
// when neither variable names an absolute folder.
std::string ThumbnailRoot() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache != nullptr && cache[0] == '/') return std::string(cache) + "/thumbnails";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.cache/thumbnails";
  return {};
}

// Makes the folder and any missing parents; new folders are private to the user, as the cache
// asks. Empty when it exists afterwards; otherwise why not.
std::string MakeFolders(const std::filesystem::path& folder) {
  std::filesystem::path partial;
  for (const auto& part : folder) {
    partial /= part;
    if (mkdir(partial.c_str(), kFolderMode) != 0 && errno != EEXIST) return std::strerror(errno);
  }
  struct stat info {};
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return std::strerror(ENOTDIR);
  return {};
}

// Whether the cache file at `path` records this URI and modification time.
bool RecordsFile(const std::string& path, const std::string& uri, const std::string& mtime) {
  bool same_uri = false, same_time = false;
  for (const auto& [key, text] : ReadPngTexts(path)) {
    if (key == "Thumb::URI") same_uri = text == uri;
    if (key == "Thumb::MTime") same_time = text == mtime;
  }
  return same_uri && same_time;
}

class TPrefillWork {
 public:
  TPrefillWork(int pixels, std::string thumbnails, std::string failures)
      : pixels_(pixels), thumbnails_(std::move(thumbnails)), failures_(std::move(failures)) {}

  TFileResult Fill(const TInput& input) const {
    const std::string& path = input.Path;
    if (const std::string reason = UnreadableReason(path); !reason.empty()) return FailedFile(path, reason);
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return FailedFile(path, std::strerror(errno));
    std::error_code error;
    const std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
    if (error) return FailedFile(path, error.message());
    const std::string uri = FileUri(absolute);
    const std::string mtime = std::to_string(static_cast<long long>(info.st_mtime));
    const std::string name = Md5Hex(uri) + ".png";
    const std::string thumbnail = thumbnails_ + "/" + name;
    const std::string failure = failures_ + "/" + name;
    if (RecordsFile(thumbnail, uri, mtime)) return {TOutcome::FromCache, "fresh thumbnail\n", ""};
    if (RecordsFile(failure, uri, mtime)) return {TOutcome::NoThumbnail, "no thumb (recorded)\n", ""};

    TJpegGraphic picture;
    TThumbnailOutcome made;
    if (!TMRV().MakePicture(path, pixels_, picture, &made, false)) {
      TRaster mark(1, 1, pf24bit);
      TImageFileOptions options;
      options.Texts = {{"Thumb::URI", uri}, {"Thumb::MTime", mtime}, {"Software", kSoftware}};
      options.Mode = kFileMode;
      if (const std::string reason = WriteImageFile(mark, failure, options); !reason.empty())
        return FailedFile(failure, reason);
      return {TOutcome::NoThumbnail, made.Kind == TThumbnailOutcome::tkNoThumb ? "no thumb\n" : "error\n", ""};
    }
    TImageFileOptions options;
    options.Texts = {{"Thumb::URI", uri},
                     {"Thumb::MTime", mtime},
                     {"Thumb::Size", std::to_string(static_cast<long long>(info.st_size))},
                     {"Thumb::Mimetype", MimeTypeOf(path)},
                     {"Software", kSoftware}};
    options.Mode = kFileMode;
    if (const std::string reason = WriteImageFile(picture.Raster(), thumbnail, options); !reason.empty())
      return FailedFile(thumbnail, reason);
    std::remove(failure.c_str());
    return {TOutcome::Made, "thumbnail " + std::to_string(made.Width) + "x" + std::to_string(made.Height) + "\n", ""};
  }

 private:
  int pixels_;
  std::string thumbnails_;
  std::string failures_;
};

}  // namespace

int RunPrefill(const TPrefillArguments& arguments) {
  const TCacheSize* size = nullptr;
  for (const TCacheSize& candidate : kCacheSizes)
    if (arguments.Size == candidate.Name) size = &candidate;
  if (size == nullptr) return UsageError("prefill", "--size takes normal, large, x-large or xx-large");
  const std::string root = ThumbnailRoot();
  if (root.empty()) return UsageError("prefill", "neither XDG_CACHE_HOME nor HOME names a folder");
  const std::string thumbnails = root + "/" + size->Name;
  const std::string failures = root + "/fail/morvane-" MORVANE_VERSION;
  for (const std::string& folder : {thumbnails, failures})
    if (const std::string reason = MakeFolders(folder); !reason.empty()) {
      std::fprintf(stderr, "morvane: %s: %s\n", folder.c_str(), reason.c_str());
      return 2;
    }
  const TInputList inputs = ExpandInputs(arguments.Inputs, arguments.Recursive, TTypeUse::Thumbnail);
  const TPrefillWork work(size->Pixels, thumbnails, failures);
  return RunBatch(inputs, {arguments.Workers, false}, [work](const TInput& input) { return work.Fill(input); });
}

}  // namespace morvane::cli
