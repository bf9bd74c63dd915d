// The comma-text form of a list, in which expanded maker-note values travel: items separated by
// commas or blanks, an item in double quotes keeping its commas and blanks.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

// The items of a comma text, quotes removed ("" inside quotes is one quote). A comma at the very
// end adds an empty last item. Stops after max_items items.
std::vector<std::string> SplitCommaText(std::string_view text,
                                        size_t max_items = static_cast<size_t>(-1));

}  // namespace morvane
