#include "cli/file_access.h"

#include <cstdio>

#include "metadata/tif_reader.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/stream.h"
#include "platform/text.h"

namespace morvane::cli {

bool CheckReadableFile(const std::string& path) {
  if (!FileExists(path)) {
    std::fprintf(stderr, "morvane: %s: no such file\n", path.c_str());
    return false;
  }
  try {
    TFileStream probe(path);
  } catch (const std::exception&) {
    std::fprintf(stderr, "morvane: %s: cannot be read\n", path.c_str());
    return false;
  }
  return true;
}

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
