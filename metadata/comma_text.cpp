// Writing and reading comma texts. Reading stops at a zero byte, as the texts are zero-terminated
// where they come from; every loop advances by at least one character.
#include "metadata/comma_text.h"

namespace morvane {

namespace {

constexpr char kQuote = '"';
constexpr char kDelimiter = ',';

bool IsBlank(char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; }

bool NeedsQuotes(std::string_view item) {
  for (char c : item)
    if (c == '\0' || static_cast<unsigned char>(c) <= ' ' || c == kQuote || c == kDelimiter)
      return true;
  return false;
}

std::string Quoted(std::string_view item) {
  std::string out(1, kQuote);
  for (char c : item) {
    out += c;
    if (c == kQuote) out += kQuote;
  }
  out += kQuote;
  return out;
}

// Reads a quoted item starting at the opening quote; a doubled quote stands for one quote.
// An item without its closing quote runs to the end of the text.
std::string ReadQuoted(std::string_view text, size_t& at) {
  std::string item;
  ++at;
  while (at < text.size() && text[at] != '\0') {
    if (text[at] == kQuote) {
      if (at + 1 < text.size() && text[at + 1] == kQuote) {
        item += kQuote;
        at += 2;
        continue;
      }
      ++at;
      break;
    }
    item += text[at++];
  }
  return item;
}

}  // namespace

std::string CommaText(const std::vector<std::string>& items) {
  if (items.size() == 1 && items[0].empty()) return std::string(2, kQuote);
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) out += kDelimiter;
    out += NeedsQuotes(items[i]) ? Quoted(items[i]) : items[i];
  }
  return out;
}

std::vector<std::string> ReadCommaText(std::string_view text, size_t max_items,
                                       TCommaTextWork* work) {
  std::vector<std::string> items;
  const auto at_end = [&](size_t at) { return at >= text.size() || text[at] == '\0'; };
  size_t at = 0;
  while (!at_end(at) && IsBlank(text[at])) ++at;
  while (!at_end(at) && items.size() < max_items) {
    if (text[at] == kQuote) {
      items.push_back(ReadQuoted(text, at));
    } else {
      const size_t start = at;
      while (!at_end(at) && static_cast<unsigned char>(text[at]) > ' ' && text[at] != kDelimiter)
        ++at;
      items.emplace_back(text.substr(start, at - start));
    }
    while (!at_end(at) && IsBlank(text[at])) ++at;
    if (!at_end(at) && text[at] == kDelimiter) {
      if (at_end(at + 1) && items.size() < max_items) items.emplace_back();
      do {
        ++at;
      } while (!at_end(at) && IsBlank(text[at]));
    }
  }
  // The position only moves forward, so it is the count of characters gone through.
  if (work != nullptr) *work = {at, items.size()};
  return items;
}

}  // namespace morvane
