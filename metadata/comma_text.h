// Comma text: a list of texts kept as one text. Repeatable IPTC datasets (keywords, by-lines,
// categories) are stored this way in a single pseudo-tag, and expanded maker-note values travel
// this way to the tag listing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

// Joins the items with ","; an item holding a space, a comma, a double quote or a character
// below the space is put between double quotes, with its double quotes doubled. A list of one
// empty item is written as two double quotes, so that it reads back as one item.
std::string CommaText(const std::vector<std::string>& items);

// What one reading of a comma text did: the characters it went through and the items it made.
struct TCommaTextWork {
  size_t Characters = 0;
  size_t Items = 0;
};

// Splits a comma text at commas, and at spaces and control characters outside double quotes,
// removing the quoting. A comma at the very end gives a last, empty item. Stops after
// `max_items` items, so that a caller that needs a few items of a huge list reads only those;
// `work`, when given, receives what the reading did.
std::vector<std::string> ReadCommaText(std::string_view text,
                                       size_t max_items = static_cast<size_t>(-1),
                                       TCommaTextWork* work = nullptr);

}  // namespace morvane
