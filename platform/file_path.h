// Paths in the logic are 8-bit text that converts back to exactly the path the shell or the
// file system gave, whatever characters it holds:
//  - on Linux, the file system's own bytes (UTF-8 by convention), unchanged;
//  - on Windows, the ANSI code page; a character the code page cannot hold is written as the
//    byte 0x01 and four upper-case hexadecimal digits of its UTF-16 unit. No Windows file name
//    holds the byte 0x01, and separators, dots and the drive colon stay themselves, so every
//    piece cut from such a path (folder, name, extension, a sidecar's name) converts back too.
#pragma once

#include <string>
#include <string_view>

namespace morvane {

// The logic's form of a path given in UTF-16 (the shell's form).
std::string PathFromUtf16(std::u16string_view path);
// The path in UTF-16, as the shell gave it.
std::u16string PathToUtf16(std::string_view path);
// The path as UTF-8 text: what SQLite takes, and what the cache stores as a file's name.
std::string PathToUtf8(std::string_view path);

// The Windows form, used by PathFromUtf16 and PathToUtf16 on Windows; on every platform for tests.
std::string AnsiPathFromUtf16(std::u16string_view path);
std::u16string AnsiPathToUtf16(std::string_view path);

// The characters that end a path's folder part.
// The one a path built here puts between folder names.
#if defined(_WIN32)
inline constexpr std::string_view kPathDelimiters = "\\/:";
inline constexpr char kPathDelimiter = '\\';
#else
inline constexpr std::string_view kPathDelimiters = "/";
inline constexpr char kPathDelimiter = '/';
#endif

#if defined(_WIN32)
// The form every file call of the system takes.
std::wstring FileSystemPath(std::string_view path);
#endif

}  // namespace morvane
