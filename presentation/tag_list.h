// The tag listing of a file: "label=value" lines, group by group, each group closed by "=".
#pragma once

#include <string>
#include <vector>

namespace morvane {

class TTif;

// Appends the lines of the directories named by `kinds` (ik* bits) to `list`.
void GetTagList(TTif& tif, std::vector<std::string>& list, int kinds);

}  // namespace morvane
