// Text helpers of the logic's 8-bit (Windows-1252) strings: letter-case rules of that code page,
// trimming, and the strict number conversions whose failures are EConvertError.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace morvane {

char AnsiUpper(char c);
char AnsiLower(char c);
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
bool SameText(std::string_view a, std::string_view b);
bool StartsText(std::string_view prefix, std::string_view text);  // ignoring letter case
bool ContainsText(std::string_view text, std::string_view part);   // ignoring letter case

// Removes leading and trailing spaces and control characters (bytes up to 0x20).
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
// The text up to its first zero byte: zero-terminated texts stored in a field of fixed size.
std::string TextUpToZero(std::string_view bytes);

// Whole numbers: optional blanks before, an optional sign, decimal digits (or "$"/"0x" hex).
// Throws EConvertError("'text' is not a valid integer value") otherwise, or when out of range.
int32_t StrToInt(std::string_view text);
int64_t StrToInt64(std::string_view text);
bool TryStrToInt64(std::string_view text, int64_t& result);
// Floating numbers with the regional decimal separator; blanks around are allowed.
double StrToFloat(std::string_view text);
bool TryStrToFloat(std::string_view text, double& result);
// The number test: optional "-", digits, optionally the regional decimal separator and digits,
// blanks around ignored.
bool IsNumericText(std::string_view text);

// printf-style formatting into a std::string.
std::string Format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

// The extension of a path: its last path component from the last "." on ("" when it has none).
std::string ExtractFileExt(std::string_view path);
// The path with its extension replaced (or appended when it has none).
std::string ChangeFileExt(std::string_view path, std::string_view extension);

}  // namespace morvane
