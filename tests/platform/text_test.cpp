// The code page, letter-case rules, number conversions and separators of the platform layer.
#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "platform/date_time.h"
#include "platform/errors.h"
#include "platform/regional.h"
#include "platform/text.h"
#include "platform/value.h"

namespace morvane {
namespace {

TEST(CodePageTest, Windows1252RoundTrips) {
  EXPECT_EQ(AnsiToUtf8("Rotated 180\xB0"), "Rotated 180\xC2\xB0");
  EXPECT_EQ(AnsiToUtf8("\x80\x9F"), "\xE2\x82\xAC\xC5\xB8");
  EXPECT_EQ(Utf8ToAnsi("\xE2\x82\xAC caf\xC3\xA9"), "\x80 caf\xE9");
  EXPECT_EQ(Utf8ToAnsi("\xE6\x97\xA5"), "?");  // outside the code page
  std::string every_byte;
  for (int c = 1; c < 256; ++c) every_byte += static_cast<char>(c);
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(every_byte)), every_byte);
  EXPECT_EQ(Utf16ToAnsi(AnsiToUtf16(every_byte)), every_byte);
  EXPECT_TRUE(Utf16FitsAnsi(u"caf\u00e9 \u20ac"));
  EXPECT_FALSE(Utf16FitsAnsi(u"\u65e5"));
}

TEST(TextTest, LetterCaseOfTheCodePage) {
  EXPECT_TRUE(SameText("nikon corporation", "NIKON CORPORATION"));
  EXPECT_TRUE(SameText("\xE9t\xE9", "\xC9T\xC9"));
  EXPECT_FALSE(SameText("abc", "abd"));
  EXPECT_EQ(UpperCase("\x9A\xFF"), "\x8A\x9F");
  EXPECT_TRUE(StartsText("konic", "KONICA MINOLTA"));
  EXPECT_EQ(Trim("\t 12 \r\n"), "12");
}

TEST(TextTest, NumberConversions) {
  EXPECT_EQ(StrToInt(" 42"), 42);
  EXPECT_EQ(StrToInt("-7"), -7);
  EXPECT_EQ(StrToInt("$1F"), 31);
  for (const char* bad : {"", "4 2", "42 ", "x", "2.5", "99999999999"})
    EXPECT_THROW(StrToInt(bad), EConvertError) << bad;
  SetRegionalSettings({',', '.', ':'});
  EXPECT_DOUBLE_EQ(StrToFloat("2,5"), 2.5);
  EXPECT_THROW(StrToFloat("2.5"), EConvertError);
  EXPECT_TRUE(IsNumericText(" -24,2 "));
  EXPECT_FALSE(IsNumericText("24.2"));
  EXPECT_EQ(FloatToText(2.8), "2,8");
  ResetRegionalSettings();
  SetRegionalSettings({'.', ',', ':'});
  EXPECT_EQ(FloatToText(2.8), "2.8");
  EXPECT_EQ(FloatToText(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(FloatToText(1e20), "1E20");
  EXPECT_EQ(FloatToText(100), "100");
  EXPECT_TRUE(IsNumericText("50"));
  EXPECT_FALSE(IsNumericText("5O"));
  ResetRegionalSettings();
}

TEST(TextTest, FileExtensions) {
  EXPECT_EQ(ExtractFileExt("/a.b/photo.thm.cr2"), ".cr2");
  EXPECT_EQ(ExtractFileExt("/a.b/photo"), "");
  EXPECT_EQ(ChangeFileExt("/a/IMG_1.CRW", ".THM"), "/a/IMG_1.THM");
  EXPECT_EQ(ChangeFileExt("/a.b/noext", ".THM"), "/a.b/noext.THM");
}

TEST(ValueTest, TextsAndConversions) {
  EXPECT_EQ(TValue().AsText(), "");
  EXPECT_EQ(TValue(int64_t{-5}).AsText(), "-5");
  EXPECT_EQ(TValue(2.5).AsInteger(), 2);  // halves to even
  EXPECT_EQ(TValue(3.5).AsInteger(), 4);
  EXPECT_EQ(TValue("12").AsInteger(), 12);
  EXPECT_THROW(TValue("abc").AsInteger(), EConvertError);
}

TEST(DateTimeTest, CalendarFromSeconds) {
  const TDateTime epoch = DateTimeFromUnixSeconds(0);
  EXPECT_EQ(epoch.Year, 1970);
  EXPECT_EQ(epoch.Month, 1);
  const TDateTime t = DateTimeFromUnixSeconds(1136124309);  // 2006-01-01 14:05:09
  EXPECT_EQ(t.Year, 2006);
  EXPECT_EQ(t.Day, 1);
  EXPECT_EQ(t.Hour, 14);
  EXPECT_EQ(t.Minute, 5);
  EXPECT_EQ(t.Second, 9);
  const TDateTime before = DateTimeFromUnixSeconds(-1);
  EXPECT_EQ(before.Year, 1969);
  EXPECT_EQ(before.Second, 59);
  EXPECT_EQ(DaysFromCivil(2000, 3, 1), 11017);
  DateTimeFromUnixSeconds(INT64_MAX);  // far values clamp instead of overflowing
}

}  // namespace
}  // namespace morvane
