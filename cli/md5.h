// The MD5 digest, as the desktop's thumbnail cache names its files: the lower-case hex digest of
// the original file's URI. Not used for anything that needs a secure hash.
#pragma once

#include <string>

namespace morvane::cli {

std::string Md5Hex(const std::string& bytes);

}  // namespace morvane::cli
