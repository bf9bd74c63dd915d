#include "cli/image_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "thumbnail/jpeg_graphic.h"

namespace morvane::cli {

namespace {

constexpr int kOutputJpegQuality = 90;

bool WriteJpeg(const TRaster& raster, const std::string& path) {
  TJpegGraphic image;
  image.SetRaster(raster);
  image.Quality = kOutputJpegQuality;
  TMemoryStream encoded;
  image.SaveToStream(encoded);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(encoded.Bytes().data()), static_cast<std::streamsize>(encoded.Size()));
  out.close();
  return !out.fail();
}

}  // namespace

std::string WriteImageFile(const TRaster& raster, const std::string& path, const TImageFileOptions& options) {
  const std::filesystem::path target(path);
  std::string hidden_name(".");
  hidden_name += target.filename().string();
  hidden_name += ".part";
  hidden_name += std::to_string(getpid());
  const std::string temporary = (target.parent_path() / hidden_name).string();
  bool written = false;
  errno = 0;
  try {
    written = options.Jpeg ? WriteJpeg(raster, temporary) : WritePngFile(raster, temporary, options.Texts);
  } catch (const std::exception&) {
    written = false;
  }
  if (written && options.Mode != 0) written = chmod(temporary.c_str(), options.Mode) == 0;
  if (written && std::rename(temporary.c_str(), path.c_str()) == 0) return {};
  const int error = errno;
  std::remove(temporary.c_str());
  std::string reason("cannot be written");
  if (error != 0) reason.append(": ").append(std::strerror(error));
  return reason;
}

}  // namespace morvane::cli
