#include "cli/desktop_types.h"

#include <cstdio>
#include <cstring>

#include "platform/text.h"

namespace morvane::cli {

std::string MimeTypeOf(const std::string& path) {
  const std::string extension = ExtractFileExt(path);
  for (const TDesktopType& type : kDesktopTypes)
    if (SameText(std::string(type.Extension), extension)) return std::string(type.MimeType);
  return {};
}

std::string FileUri(const std::string& absolute_path) {
  constexpr const char* kKept = "-._~!$&'()*+,;=:@/";
  std::string uri = "file://";
  for (const char c : absolute_path) {
    const auto byte = static_cast<unsigned char>(c);
    const bool alphanumeric = (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
    if (alphanumeric || (byte != 0 && std::strchr(kKept, c) != nullptr)) {
      uri += c;
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
      uri += escaped;
    }
  }
  return uri;
}

}  // namespace morvane::cli
