// `morvane thumb FILE -o OUT.png [--size N | --width W --height H]`: the thumbnail the shell would
// show for the file, answered through the per-user cache like a shell request, written as PNG or
// JPEG by the output's extension, and one line on stdout saying what was drawn: the fitted
// image's size, "cached thumbnail", "no thumb" or "error". With several files or a folder it
// fills the cache, or with -o FOLDER also writes one PNG per file there.
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "cache/thumb_cache.h"
#include "cli/batch_runner.h"
#include "cli/commands.h"
#include "cli/file_access.h"
#include "cli/image_file.h"
#include "platform/text.h"
#include "shellext/module.h"

namespace morvane::cli {

namespace {

constexpr int kDefaultSize = 256;

bool IsJpegName(const std::string& path) {
  const std::string extension = LowerCase(ExtractFileExt(path));
  return extension == ".jpg" || extension == ".jpeg";
}

bool IsPngName(const std::string& path) { return LowerCase(ExtractFileExt(path)) == ".png"; }

// One PNG per file in `folder`: the file's path below its named folder (or its name) with the
// extension made .png; a name already given to an earlier file gets "-2", "-3", ...
std::map<std::string, std::string> OutputNames(const TInputList& inputs, const std::string& folder) {
  std::map<std::string, std::string> names;
  std::set<std::string> taken;
  for (const TInput& input : inputs.Entries) {
    if (input.Kind != TInput::File) continue;
    const std::string stem = (std::filesystem::path(folder) / ChangeFileExt(input.Relative, "")).string();
    std::string name = stem + ".png";
    for (int n = 2; !taken.insert(name).second; ++n) name = stem + "-" + std::to_string(n) + ".png";
    names[input.Path] = name;
  }
  return names;
}

// The thumbnail requests of one worker, through its own module and cache connection, opened
// at the first request (in the worker's process).
class TThumbWork {
 public:
  // `into_folder`: the outputs are paths below a folder, whose subfolders are made as needed.
  TThumbWork(int width, int height, bool into_folder) : width_(width), height_(height), into_folder_(into_folder) {}

  TFileResult Make(const TInput& input, const std::string& output) {
    const std::string& path = input.Path;
    if (const std::string reason = UnreadableReason(path); !reason.empty()) return FailedFile(path, reason);
    TBitmap bitmap;
    TRequestReport report;
    try {
      if (!module_) module_ = std::make_unique<TSxModule1>();
      module_->ThumbnailRequest(path, width_, height_, bitmap, &report);
    } catch (const ECacheError& e) {
      return {TOutcome::CacheFailure, "", std::string("morvane: ") + e.what() + "\n"};
    }
    const TThumbnailOutcome& made = report.Made;
    if (!report.FromCache && made.Kind == TThumbnailOutcome::tkNoThumb && !IsSupportedType(path, TTypeUse::Thumbnail))
      return UnsupportedType(path);
    if (!output.empty()) {
      std::error_code ignored;
      if (into_folder_) std::filesystem::create_directories(std::filesystem::path(output).parent_path(), ignored);
      TImageFileOptions format;
      format.Jpeg = IsJpegName(output);
      if (const std::string failure = WriteImageFile(bitmap.Raster(), output, format); !failure.empty())
        return FailedFile(output, failure);
    }
    if (report.FromCache) return {TOutcome::FromCache, "cached thumbnail\n", ""};
    switch (made.Kind) {
      case TThumbnailOutcome::tkThumbnail:
        return {TOutcome::Made, Format("thumbnail %dx%d\n", made.Width, made.Height), ""};
      case TThumbnailOutcome::tkNoThumb: return {TOutcome::NoThumbnail, "no thumb\n", ""};
      default: return {TOutcome::Failed, "error\n", ""};
    }
  }

 private:
  int width_;
  int height_;
  bool into_folder_;
  std::unique_ptr<TSxModule1> module_;
};

}  // namespace

int RunThumb(const TThumbArguments& arguments) {
  if (arguments.Size != 0 && (arguments.Width != 0 || arguments.Height != 0))
    return UsageError("thumb", "--size and --width/--height exclude each other");
  if ((arguments.Width == 0) != (arguments.Height == 0)) return UsageError("thumb", "--width and --height go together");
  int width = arguments.Width, height = arguments.Height;
  if (width == 0) width = height = arguments.Size != 0 ? arguments.Size : kDefaultSize;

  const TInputList inputs = ExpandInputs(arguments.Inputs, arguments.Recursive, TTypeUse::Thumbnail);
  std::error_code ignored;
  const bool to_folder =
      !arguments.Output.empty() && (inputs.Several || std::filesystem::is_directory(arguments.Output, ignored));
  if (!inputs.Several && arguments.Output.empty())
    return UsageError("thumb", "one FILE needs -o OUT.png (several files or a folder fill the cache)");
  const bool image_name = IsPngName(arguments.Output) || IsJpegName(arguments.Output);
  if (!to_folder && !arguments.Output.empty() && !image_name)
    return UsageError("thumb", "-o takes a .png or .jpg file, or a folder");
  if (to_folder && image_name && !std::filesystem::is_directory(arguments.Output, ignored))
    return UsageError("thumb", "-o names a folder when there are several files");

  std::map<std::string, std::string> names;
  if (to_folder) {
    std::error_code error;
    std::filesystem::create_directories(arguments.Output, error);
    if (error) {
      std::fprintf(stderr, "morvane: %s: %s\n", arguments.Output.c_str(), error.message().c_str());
      return 1;
    }
    names = OutputNames(inputs, arguments.Output);
  }
  auto work = std::make_shared<TThumbWork>(width, height, to_folder);
  return RunBatch(inputs, {arguments.Workers, false}, [&, work](const TInput& input) {
    const auto name = names.find(input.Path);
    return work->Make(input, name != names.end() ? name->second : arguments.Output);
  });
}

}  // namespace morvane::cli
