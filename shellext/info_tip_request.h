// The info-tip request: the tip the shell shows for a file, read from the file or its ".THM"
// sidecar, with the file's type and size.
#pragma once

#include <cstdint>
#include <string>

namespace morvane {

// The info-tip text of the file at `path`. Takes the request lock for its whole run and never
// throws: a failure ends the text where it happened.
std::string ComposeInfoTip(const std::string& path);

// The size of a file, 0 when it does not exist. The whole size: files of 4 GiB and more show
// their real size.
uint64_t FileSizeOf(const std::string& file_name);

}  // namespace morvane
