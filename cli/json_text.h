// Text for JSON output, which must be valid UTF-8 whatever the file held: well-formed UTF-8
// sequences are kept, every other byte becomes the four characters \xNN.
#pragma once

#include <string>
#include <string_view>

namespace morvane::cli {

std::string ValidUtf8(std::string_view bytes);

}  // namespace morvane::cli
