#include "cli/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "metadata/tif_reader.h"
#include "platform/code_page.h"
#include "platform/text.h"

namespace morvane::cli {

TFileResult FailedFile(const std::string& path, const std::string& reason) {
  return {TOutcome::Failed, "", "morvane: " + path + ": " + reason + "\n"};
}

std::string UnreadableReason(const std::string& path) {
  // Without blocking: a named pipe among the photos must not stop the run.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::strerror(errno);
  struct stat info {};
  const int error = fstat(fd, &info) != 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : 0;
  close(fd);
  if (error != 0) return std::strerror(error);
  return S_ISREG(info.st_mode) ? std::string() : std::string("not a regular file");
}

TFileResult UnsupportedType(const std::string& path) { return FailedFile(path, "not a supported file type"); }

std::string OpenMetadata(TTif& tif, const std::string& path) {
  tif.FileName = path;
  try {
    tif.Open(false, false);
  } catch (const std::exception& e) {
    return e.what();
  }
  return {};
}

std::string OutputText(const std::string& ansi, size_t max_characters) {
  std::string escaped;
  escaped.reserve(ansi.size());
  for (char c : std::string_view(ansi).substr(0, max_characters)) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F)
      escaped += Format("\\x%02X", u);
    else
      escaped += c;
  }
  return AnsiToUtf8(escaped);
}

}  // namespace morvane::cli
