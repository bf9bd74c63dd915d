#include "platform/code_page.h"

#include <array>
#include <cstdint>

#if defined(_WIN32)
#include "platform/windows_api.h"
#endif

namespace morvane {

#if defined(_WIN32)

// On Windows the system's own conversions of the ANSI code page are used.
namespace {

std::u16string ToWide(UINT code_page, std::string_view text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return std::u16string(wide.begin(), wide.end());
}

std::string FromWide(UINT code_page, std::u16string_view text) {
  if (text.empty()) return {};
  const std::wstring wide(text.begin(), text.end());
  const int length =
      WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), out.data(), length, nullptr, nullptr);
  return out;
}

}  // namespace

std::string AnsiToUtf8(std::string_view ansi) { return FromWide(CP_UTF8, ToWide(CP_ACP, ansi)); }

std::string Utf8ToAnsi(std::string_view utf8) { return FromWide(CP_ACP, ToWide(CP_UTF8, utf8)); }

std::u16string AnsiToUtf16(std::string_view ansi) { return ToWide(CP_ACP, ansi); }

std::string Utf16ToAnsi(std::u16string_view utf16) { return FromWide(CP_ACP, utf16); }

std::string Utf16ToUtf8(std::u16string_view utf16) { return FromWide(CP_UTF8, utf16); }

std::u16string Utf8ToUtf16(std::string_view utf8) { return ToWide(CP_UTF8, utf8); }

#else

namespace {

// Windows-1252 0x80..0x9F. The five bytes the code page leaves undefined map to the C1
// control of the same value, as the platform's own conversion does, so every byte round-trips.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t AnsiToUnit(unsigned char c) {
  return (c >= 0x80 && c <= 0x9F) ? kHighControls[c - 0x80] : static_cast<char16_t>(c);
}

// The code-page byte of a Unicode character, or '?' when it has none.
char UnitToAnsi(char32_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<char>(u);
  for (size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] == u) return static_cast<char>(0x80 + i);
  return '?';
}

void AppendUtf8(std::string& out, char32_t u) {
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (u < 0x800) {
    out += static_cast<char>(0xC0 | (u >> 6));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    out += static_cast<char>(0xE0 | (u >> 12));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (u >> 18));
    out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
}

// Decodes one UTF-8 character at text[i], advancing i; malformed bytes give U+FFFD.
char32_t NextUtf8(std::string_view text, size_t& i) {
  const auto b0 = static_cast<unsigned char>(text[i++]);
  if (b0 < 0x80) return b0;
  int extra = 0;
  char32_t u = 0;
  if ((b0 & 0xE0) == 0xC0) {
    extra = 1;
    u = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2;
    u = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3;
    u = b0 & 0x07;
  } else {
    return 0xFFFD;
  }
  for (int k = 0; k < extra; ++k) {
    if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0xFFFD;
    u = (u << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
  }
  return u;
}

}  // namespace

std::string AnsiToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (char c : ansi) AppendUtf8(out, AnsiToUnit(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToAnsi(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) out += UnitToAnsi(NextUtf8(utf8, i));
  return out;
}

std::u16string AnsiToUtf16(std::string_view ansi) {
  std::u16string out;
  out.reserve(ansi.size());
  for (char c : ansi) out += AnsiToUnit(static_cast<unsigned char>(c));
  return out;
}

std::string Utf16ToAnsi(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    const char16_t u = utf16[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      ++i;  // a surrogate pair: outside the code page
      out += '?';
      continue;
    }
    out += UnitToAnsi(u);
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t u = utf16[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
      u = 0x10000 + ((u - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      u = 0xFFFD;  // a lone surrogate
    }
    AppendUtf8(out, u);
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t u = NextUtf8(utf8, i);
    if (u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) u = 0xFFFD;
    if (u >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((u - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((u - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(u);
    }
  }
  return out;
}

#endif

bool Utf16FitsAnsi(std::u16string_view utf16) { return AnsiToUtf16(Utf16ToAnsi(utf16)) == utf16; }

}  // namespace morvane
