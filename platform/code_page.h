// The system ANSI code page: Windows-1252. The logic's texts are in it; they become UTF-8 at the
// program's output and UTF-16 at the COM boundary. Characters the code page lacks become "?".
#pragma once

#include <string>
#include <string_view>

namespace morvane {

std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);
std::u16string AnsiToUtf16(std::string_view ansi);
std::string Utf16ToAnsi(std::u16string_view utf16);
// True when every character of the UTF-16 text exists in the code page: the text converts to
// it and back unchanged (a look-alike the system would put in a character's place does not count).
bool Utf16FitsAnsi(std::u16string_view utf16);
// UTF-16 to and from UTF-8; malformed input gives U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);
std::u16string Utf8ToUtf16(std::string_view utf8);

}  // namespace morvane
