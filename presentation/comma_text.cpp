#include "presentation/comma_text.h"

namespace morvane {

namespace {
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
}  // namespace

std::vector<std::string> SplitCommaText(std::string_view text, size_t max_items) {
  std::vector<std::string> items;
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && IsBlank(text[i])) ++i;
  while (i < n && items.size() < max_items) {
    std::string item;
    if (text[i] == '"') {
      ++i;
      while (i < n) {
        if (text[i] == '"') {
          if (i + 1 < n && text[i + 1] == '"') {
            item += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += text[i++];
      }
    } else {
      const size_t start = i;
      while (i < n && !IsBlank(text[i]) && text[i] != ',') ++i;
      item.assign(text.substr(start, i - start));
    }
    items.push_back(std::move(item));
    while (i < n && IsBlank(text[i])) ++i;
    if (i < n && text[i] == ',') {
      if (i + 1 == n && items.size() < max_items) items.emplace_back();
      ++i;
      while (i < n && IsBlank(text[i])) ++i;
    }
  }
  return items;
}

}  // namespace morvane
