// Paths as the logic keeps them: every path the shell gives converts back exactly, in the
// Windows form (code page plus escapes) and in the Linux form (the file system's UTF-8 bytes).
#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "platform/file_path.h"
#include "platform/text.h"

namespace morvane {
namespace {

TEST(FilePathTest, WindowsFormKeepsCodePagePathsAndEscapesTheRest) {
  struct Case {
    std::u16string shell;
    std::string logic;
  };
  const Case cases[] = {
      {u"C:\\Photos\\caf\u00E9 \u20AC.nef", "C:\\Photos\\caf\xE9 \x80.nef"},  // code page only
      {u"C:\\\u03A9\\\u5199.nef", "C:\\\x01" "03A9\\\x01" "5199.nef"},
      {u"C:\\\U0001F4F7.nef", "C:\\\x01" "D83D\x01" "DCF7.nef"},  // a surrogate pair, unit by unit
      {u"C:\\\x01" "0041.nef", "C:\\\x01" "0001" "0041.nef"},    // the escape byte itself
      // The system would put a look-alike "A" for U+0100; that would name another file.
      {u"C:\\\u0100.nef", "C:\\\x01" "0100.nef"},
      {u"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.logic);
    EXPECT_EQ(AnsiPathFromUtf16(c.shell), c.logic);
    EXPECT_EQ(AnsiPathToUtf16(c.logic), c.shell);
  }
}

TEST(FilePathTest, PiecesOfAnEscapedPathConvertBackToo) {
  const std::string path = AnsiPathFromUtf16(u"D:\\\u5199\u771F.dir\\\u03A9\u03BC.nef");
  EXPECT_EQ(AnsiPathToUtf16(ChangeFileExt(path, ".THM")), u"D:\\\u5199\u771F.dir\\\u03A9\u03BC.THM");
  EXPECT_EQ(AnsiPathToUtf16(path.substr(path.find_last_of('\\') + 1)), u"\u03A9\u03BC.nef");
  EXPECT_EQ(AnsiPathToUtf16(UpperCase(path)), u"D:\\\u5199\u771F.DIR\\\u03A9\u03BC.NEF");
  // A lone escape byte or one cut short is taken as the code-page byte it is.
  EXPECT_EQ(AnsiPathToUtf16("a\x01" "12"), u"a\x01" "12");
  EXPECT_EQ(AnsiPathToUtf16("\x01" "12G4"), u"\x01" "12G4");
}

TEST(FilePathTest, Utf8AndUtf16) {
  EXPECT_EQ(Utf16ToUtf8(u"caf\u00E9 \u5199 \U0001F4F7"), "caf\xC3\xA9 \xE5\x86\x99 \xF0\x9F\x93\xB7");
  EXPECT_EQ(Utf8ToUtf16("caf\xC3\xA9 \xE5\x86\x99 \xF0\x9F\x93\xB7"), u"caf\u00E9 \u5199 \U0001F4F7");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");  // a lone surrogate
  EXPECT_EQ(Utf8ToUtf16("\xFF" "a"), u"\uFFFDa");
}

#if !defined(_WIN32)
TEST(FilePathTest, LinuxPathsAreTheFileSystemsBytes) {
  const std::string path = "/photos/\xCE\xA9\xCE\xBC\xE5\x86\x99.nef";
  EXPECT_EQ(PathFromUtf16(u"/photos/\u03A9\u03BC\u5199.nef"), path);
  EXPECT_EQ(PathToUtf16(path), u"/photos/\u03A9\u03BC\u5199.nef");
  EXPECT_EQ(PathToUtf8("/odd/\xFF.nef"), "/odd/\xFF.nef");  // bytes pass unchanged
}
#endif

}  // namespace
}  // namespace morvane
