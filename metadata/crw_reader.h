// The CRW reader: camera make and model from the block the last 8 bytes of the file point at.
#pragma once

#include <string>

namespace morvane {

class TTif;

// Reads `file_name` as a CRW file into `tif` (which has been cleared).
void ReadCrw(TTif& tif, const std::string& file_name);

}  // namespace morvane
