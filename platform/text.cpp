#include "platform/text.h"

#include <cerrno>
#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "platform/errors.h"
#include "platform/file_path.h"
#include "platform/regional.h"

namespace morvane {

char AnsiUpper(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 32);
  switch (u) {
    case 0x9A: return static_cast<char>(0x8A);
    case 0x9C: return static_cast<char>(0x8C);
    case 0x9E: return static_cast<char>(0x8E);
    case 0xFF: return static_cast<char>(0x9F);
    default: return c;
  }
}

char AnsiLower(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char>(u + 32);
  switch (u) {
    case 0x8A: return static_cast<char>(0x9A);
    case 0x8C: return static_cast<char>(0x9C);
    case 0x8E: return static_cast<char>(0x9E);
    case 0x9F: return static_cast<char>(0xFF);
    default: return c;
  }
}

std::string UpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AnsiUpper(c);
  return out;
}

std::string LowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AnsiLower(c);
  return out;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AnsiUpper(a[i]) != AnsiUpper(b[i])) return false;
  return true;
}

bool StartsText(std::string_view prefix, std::string_view text) {
  return text.size() >= prefix.size() && SameText(prefix, text.substr(0, prefix.size()));
}

bool ContainsText(std::string_view text, std::string_view part) {
  return UpperCase(text).find(UpperCase(part)) != std::string::npos;
}

namespace {
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
}  // namespace

std::string TrimLeft(std::string_view text) {
  size_t b = 0;
  while (b < text.size() && IsBlank(text[b])) ++b;
  return std::string(text.substr(b));
}

std::string TrimRight(std::string_view text) {
  size_t e = text.size();
  while (e > 0 && IsBlank(text[e - 1])) --e;
  return std::string(text.substr(0, e));
}

std::string TextUpToZero(std::string_view bytes) { return std::string(bytes.substr(0, bytes.find('\0'))); }

std::string Trim(std::string_view text) { return TrimRight(TrimLeft(text)); }

bool TryStrToInt64(std::string_view text, int64_t& result) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return false;
  uint64_t magnitude = 0;
  const auto [end, ec] = std::from_chars(text.data() + i, text.data() + text.size(), magnitude, base);
  if (ec != std::errc() || end != text.data() + text.size()) return false;
  if (negative) {
    if (magnitude > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + 1) return false;
    result = static_cast<int64_t>(0 - magnitude);
  } else {
    if (magnitude > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return false;
    result = static_cast<int64_t>(magnitude);
  }
  return true;
}

int64_t StrToInt64(std::string_view text) {
  int64_t result = 0;
  if (!TryStrToInt64(text, result))
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  return result;
}

int32_t StrToInt(std::string_view text) {
  const int64_t value = StrToInt64(text);
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  return static_cast<int32_t>(value);
}

bool TryStrToFloat(std::string_view text, double& result) {
  const std::string trimmed = Trim(text);
  if (trimmed.empty()) return false;
  const char separator = RegionalSettings().DecimalSeparator;
  std::string normal;
  normal.reserve(trimmed.size());
  for (char c : trimmed) {
    if (c == separator) {
      normal += '.';
    } else if (c == '.' && separator != '.') {
      return false;
    } else {
      normal += c;
    }
  }
  size_t start = (normal[0] == '+') ? 1 : 0;
  if (start < normal.size() && normal[start] == '+') return false;
  const char* first = normal.data() + start;
  const char* last = normal.data() + normal.size();
  const auto [end, ec] = std::from_chars(first, last, result, std::chars_format::general);
  return ec == std::errc() && end == last;
}

double StrToFloat(std::string_view text) {
  double result = 0;
  if (!TryStrToFloat(text, result))
    throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
  return result;
}

bool IsNumericText(std::string_view text) {
  const std::string t = Trim(text);
  size_t i = 0;
  if (i < t.size() && t[i] == '-') ++i;
  size_t digits = 0;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  if (digits == 0) return false;
  if (i < t.size() && t[i] == RegionalSettings().DecimalSeparator) {
    ++i;
    size_t fraction = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++fraction;
    if (fraction == 0) return false;
  }
  return i == t.size();
}

std::string Format(const char* pattern, ...) {
  va_list args;
  va_start(args, pattern);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, pattern, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(out.data(), out.size(), pattern, args);
    out.resize(static_cast<size_t>(n));
  }
  va_end(args);
  return out;
}

std::string ExtractFileExt(std::string_view path) {
  const size_t slash = path.find_last_of(kPathDelimiters);
  const size_t dot = path.find_last_of('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
  return std::string(path.substr(dot));
}

std::string ChangeFileExt(std::string_view path, std::string_view extension) {
  const std::string ext = ExtractFileExt(path);
  return std::string(path.substr(0, path.size() - ext.size())) + std::string(extension);
}

}  // namespace morvane
