// Reads a thumbnail cache database the way another program would: through a connection of its
// own, so a test sees exactly what was written to the file.
#pragma once

#include <string>
#include <vector>

namespace morvane::testing {

// The first column of every row `sql` gives; empty when the file cannot be opened or queried.
std::vector<std::string> QueryColumn(const std::string& database, const std::string& sql);

}  // namespace morvane::testing
