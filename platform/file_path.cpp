#include "platform/file_path.h"

#include "platform/code_page.h"

namespace morvane {

namespace {

constexpr char kEscape = '\x01';
constexpr size_t kEscapeDigits = 4;
constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The UTF-16 unit of an escape starting at path[i], or -1 when no whole escape stands there.
int EscapedUnit(std::string_view path, size_t i) {
  if (path[i] != kEscape || path.size() - i <= kEscapeDigits) return -1;
  int unit = 0;
  for (size_t k = 1; k <= kEscapeDigits; ++k) {
    const int digit = HexValue(path[i + k]);
    if (digit < 0) return -1;
    unit = unit * 16 + digit;
  }
  return unit;
}

}  // namespace

std::string AnsiPathFromUtf16(std::u16string_view path) {
  if (path.find(u'\x01') == std::u16string_view::npos && Utf16FitsAnsi(path)) return Utf16ToAnsi(path);
  std::string out;
  out.reserve(path.size());
  for (const char16_t unit : path) {
    const std::u16string_view single(&unit, 1);
    const std::string ansi = Utf16ToAnsi(single);
    if (unit != u'\x01' && AnsiToUtf16(ansi) == single) {  // the character round-trips
      out += ansi;
      continue;
    }
    out += kEscape;
    for (int shift = 12; shift >= 0; shift -= 4) out += kHexDigits[(unit >> shift) & 0xF];
  }
  return out;
}

std::u16string AnsiPathToUtf16(std::string_view path) {
  std::u16string out;
  out.reserve(path.size());
  size_t plain = 0;  // start of the run of code-page bytes not yet converted
  for (size_t i = 0; i < path.size(); ++i) {
    const int unit = EscapedUnit(path, i);
    if (unit < 0) continue;
    out += AnsiToUtf16(path.substr(plain, i - plain));
    out += static_cast<char16_t>(unit);
    i += kEscapeDigits;
    plain = i + 1;
  }
  out += AnsiToUtf16(path.substr(plain));
  return out;
}

#if defined(_WIN32)

std::string PathFromUtf16(std::u16string_view path) { return AnsiPathFromUtf16(path); }

std::u16string PathToUtf16(std::string_view path) { return AnsiPathToUtf16(path); }

std::string PathToUtf8(std::string_view path) { return Utf16ToUtf8(AnsiPathToUtf16(path)); }

std::wstring FileSystemPath(std::string_view path) {
  const std::u16string wide = AnsiPathToUtf16(path);
  return std::wstring(wide.begin(), wide.end());
}

#else

std::string PathFromUtf16(std::u16string_view path) { return Utf16ToUtf8(path); }

std::u16string PathToUtf16(std::string_view path) { return Utf8ToUtf16(path); }

std::string PathToUtf8(std::string_view path) { return std::string(path); }

#endif

}  // namespace morvane
