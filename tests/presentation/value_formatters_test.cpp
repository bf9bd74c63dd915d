// Display texts of values: the named formatters as tables of inputs and outputs, the precedence
// of formatter, value list and pattern, regional separators, the expansion of packed settings,
// and values that do not fit their row.
#include "presentation/value_formatters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>

#include "metadata/tif_tag.h"
#include "platform/regional.h"
#include "presentation/tag_tables.h"

namespace morvane {
namespace {

// A tag holding `bytes` (little-endian, as the model keeps them) of a format.
std::unique_ptr<TTifTag> MakeTag(int number, TTifTagDataFormat format, int32_t components,
                                 const std::string& bytes) {
  auto tag = std::make_unique<TTifTag>();
  tag->TagNumber = number;
  tag->DataFormat = format;
  tag->Components = components;
  tag->DataStream.Write(bytes.data(), bytes.size());
  return tag;
}

std::string U32(uint32_t v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
          static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
}
std::string U16(uint16_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::unique_ptr<TTifTag> Rational(int number, uint32_t n, uint32_t d) {
  return MakeTag(number, tdfUnsignedRational, 1, U32(n) + U32(d));
}
std::unique_ptr<TTifTag> Short(int number, uint16_t v) { return MakeTag(number, tdfUnsignedShort, 1, U16(v)); }
std::unique_ptr<TTifTag> Ascii(int number, const std::string& text) {
  return MakeTag(number, tdfAsciiString, static_cast<int32_t>(text.size() + 1), text + '\0');
}

TTagEntry MainRow(int tag) { return *FindMainTagEntry(tag); }

class RegionalGuard {
 public:
  explicit RegionalGuard(char decimal) { SetRegionalSettings({decimal, decimal == ',' ? '.' : ',', ':'}); }
  ~RegionalGuard() { ResetRegionalSettings(); }
};

TEST(ValueFormattersTest, ReadRational) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"28/10", 2.8}, {"1 1/2", 1.5},  {"5/0", 5},    {"3", 0},    {"2.8", 0},   {"", 0},
      {" 7/2 ", 3.5}, {"-1/4", -0.25}, {"x/2", 0},    {"1/y", 0},  {"a 1/2", 0}, {"/4", 0},
      {"3/", 3},      {"0/0", 0},      {"4294967295/1", 4294967295.0},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(ReadRational(c.text), c.value) << c.text;
}

TEST(ValueFormattersTest, NamedFormatters) {
  const struct {
    TTagFormatter formatter;
    std::string input;
    std::string output;
  } cases[] = {
      {FormatLensRange, "18/1,70/1,35/10,45/10", "18-70 mm  F3.5-F4.5"},
      {FormatLensRange, "50/1,50/1,14/10,14/10", "50-50 mm  F1.4-F1.4"},
      {FormatLensRange, "18/1", "0-0 mm  F0.0-F18.0"},  // missing commas: empty parts
      {FormatLensRange, "", "0-0 mm  F0.0-F0.0"},
      {FormatColorMode, " MODE1 ", "Mode1 (sRGB)"},
      {FormatColorMode, "MODE2", "Mode 2 (Adobe RGB)"},
      {FormatColorMode, "MODE3", "Mode 3 (sRGB): higher saturation"},
      {FormatColorMode, "mode2 ", "mode2"},
      {FormatNothing, "anything", ""},
      {FormatGpsVersion, "2,2,0,0", "2.2.0.0"},
      {FormatGpsCoordinate, "52/1,22/1,3456/100", "52 degrees 22 mins 35 secs (52.3763)"},
      {FormatGpsCoordinate, "52/1,2234/100,0/1", "52 degrees 22 mins 20 secs (52.3723)"},
      {FormatGpsTime, "14/1,5/1,9/1", "14:05:09"},
      {FormatGpsTime, "7/2,0/1,599/10", "03:00:59"},
      {FormatComponents, std::string("\x01\x02\x03\x00", 4), "YCbCr"},
      {FormatComponents, std::string("\x04\x05\x06\x01\x02", 5), "RGBY"},
      {FormatComponents, "\x04\x05", "RG"},
      {FormatComponents, "\x09\x05", "G"},
      {FormatUserComment, std::string("ASCII\0\0\0Hello", 13), "Hello"},
      {FormatUserComment, "short", ""},
      {FormatShutterSpeed, "7965784/1000000", "0.0040 sec (1/250)"},
      {FormatShutterSpeed, "-1/1", "2.0000 sec"},
      {FormatShutterSpeed, "1/1", "0.5000 sec (1/2)"},
      {FormatShutterSpeed, "7/10", "0.6156 sec"},
      {FormatPresence, "x", "Yes"},
      {FormatPresence, "", "No"},
      {FormatPrivateData, "65,100,111,98,101,0,77,97", "Yes (Adobe)"},
      {FormatPrivateData, "65,100,111", "Yes"},
      {FormatPrivateData, "0,1,2", "Yes"},
      {FormatPrivateData, "", "No"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.formatter(c.input), c.output) << c.input;
}

TEST(ValueFormattersTest, FormatterListAndPatternTakeTheirTurns) {
  const struct {
    std::unique_ptr<TTifTag> tag;
    TTagEntry row;
    std::string text;
  } cases[] = {
      {Rational(33434, 1, 200), MainRow(33434), "1/200 sec"},
      {Rational(33434, 2, 1), MainRow(33434), "2 sec"},
      {Rational(33437, 28, 10), MainRow(33437), "F2.8"},
      {Rational(37386, 50, 1), MainRow(37386), "50.00 mm"},
      {Rational(37386, 8, 1), MainRow(37386), " 8.00 mm"},
      {Short(41989, 50), MainRow(41989), "50"},  // a text value: the pattern does not apply
      {Short(274, 6), MainRow(274), "Counter Clockwise 90\xB0"},
      {Short(274, 9), MainRow(274), "9"},
      {Ascii(271, "NIKON CORPORATION"), MainRow(271), "NIKON CORPORATION"},
      {MakeTag(37500, tdfUndefined, 3, "abc"), MainRow(37500), "Yes"},
      {MakeTag(37500, tdfUndefined, 0, ""), MainRow(37500), "No"},
      {MakeTag(37510, tdfAsciiString, 6, "Hello\0"), MainRow(37510), "Hello"},
      {MakeTag(37380, tdfSignedRational, 1, U32(static_cast<uint32_t>(-2)) + U32(3)), MainRow(37380), "EV -2/3"},
      {Ascii(24, "18"), *FindTagEntry(CanonCameraSettings, 24), "18"},  // "%0.0f" on a text
      {Ascii(9, "5200"), *FindTagEntry(CanonColorInfo, 9), "5200"},
      {Ascii(1, "plain"), TTagEntry{}, "plain"},
      {MakeTag(270, tdfAsciiString, 0, ""), MainRow(270), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatTagValue(*c.tag, c.row), c.text) << c.row.Name;
}

TEST(ValueFormattersTest, WholeNumberPatternsRoundHalvesToEven) {
  const TTagEntry kelvin{.Tag = 1, .Name = "T", .FormatString = "%dK"};
  const TTagEntry fixed{.Tag = 1, .Name = "T", .FormatString = "%0.0f"};
  const struct {
    double value;
    const char* with_d;
  } cases[] = {{2.5, "2K"}, {3.5, "4K"}, {-2.5, "-2K"}, {2.6, "3K"}, {5200, "5200K"}};
  for (const auto& c : cases) {
    const auto tag = MakeTag(1, tdfDoubleFloat, 1, "");
    tag->DataStream.Write(&c.value, sizeof c.value);
    EXPECT_EQ(FormatTagValue(*tag, kelvin), c.with_d) << c.value;
  }
  const auto whole = MakeTag(1, tdfUnsignedLong, 1, U32(6500));
  EXPECT_EQ(FormatTagValue(*whole, kelvin), "6500K");
  EXPECT_EQ(FormatTagValue(*whole, fixed), "6500");
}

TEST(ValueFormattersTest, NumbersUseTheRegionalDecimalSeparator) {
  RegionalGuard comma(',');
  EXPECT_EQ(FormatTagValue(*Rational(33437, 28, 10), MainRow(33437)), "F2,8");
  EXPECT_EQ(FormatTagValue(*Rational(37386, 8, 1), MainRow(37386)), " 8,00 mm");
  EXPECT_EQ(FormatLensRange("18/1,70/1,35/10,45/10"), "18-70 mm  F3,5-F4,5");
  EXPECT_EQ(FormatGpsCoordinate("52/1,22/1,3456/100"), "52 degrees 22 mins 35 secs (52,3763)");
  EXPECT_EQ(FormatShutterSpeed("1/1"), "0,5000 sec (1/2)");
}

TEST(ValueFormattersTest, ValuesThatDoNotFitTheirRowNeverEscape) {
  // A formatter that cannot read its input leaves the value text.
  const TTagEntry private_data = MainRow(50740);
  EXPECT_EQ(FormatTagValue(*MakeTag(50740, tdfUndefined, 3, "x,y"), private_data), "x,y");
  // A pattern that does not fit its value leaves what was assigned before it.
  const TTagEntry two_conversions{.Tag = 1, .Name = "T", .FormatString = "%f %f"};
  EXPECT_EQ(FormatTagValue(*Rational(1, 1, 2), two_conversions), "0.5");
  const TTagEntry unknown_conversion{.Tag = 1, .Name = "T", .FormatString = "%n"};
  EXPECT_EQ(FormatTagValue(*Rational(1, 1, 2), unknown_conversion), "0.5");
  const TTagEntry huge_width{.Tag = 1, .Name = "T", .FormatString = "%99999999999f"};
  EXPECT_LT(FormatTagValue(*Rational(1, 1, 2), huge_width).size(), 200u);
  // Shutter speeds beyond any exposure, bytes that are not what the format says.
  EXPECT_EQ(FormatTagValue(*MakeTag(37377, tdfAsciiString, 8, "99999/1"), MainRow(37377)), "99999/1");
  EXPECT_NO_THROW(FormatTagValue(*MakeTag(37386, tdfUnsignedRational, 5, "\x01"), MainRow(37386)));
  EXPECT_EQ(FormatTagValue(*MakeTag(274, static_cast<TTifTagDataFormat>(99), 1, "\x06"), MainRow(274)), "");
  double nan = std::numeric_limits<double>::quiet_NaN();
  const auto not_a_number = MakeTag(37386, tdfDoubleFloat, 1, "");
  not_a_number->DataStream.Write(&nan, sizeof nan);
  EXPECT_EQ(FormatTagValue(*not_a_number, MainRow(37386)), "NAN");
}

TEST(ValueFormattersTest, SubTableExpansionNamesEachSettingByItsPosition) {
  // Positions 1 to 11 of the Canon camera settings; position 0 has no row.
  const std::string twelve = "24,2,0,4,0,1,0,0,1,2,0,1";
  const std::string expanded = ExpandSubTable(twelve, CanonCameraSettings);
  EXPECT_EQ(expanded.rfind("INLINE;\"Macro Mode = Normal\",\"Self Timer = 0\",\"Original Quality = RAW\",", 0), 0u)
      << expanded;
  EXPECT_NE(expanded.find("\"Program Mode = Manual\""), std::string::npos);
  EXPECT_EQ(expanded.find("Digital Zoom"), std::string::npos);  // position 12 is beyond the list
  EXPECT_EQ(ExpandSubTable("", CanonCameraSettings), "INLINE;");
  // Positions 16 and 22 read through their lists; Shot Info's ISO.
  std::string twenty_three(22, ',');
  twenty_three.insert(16, "17");
  twenty_three += "65535";
  const std::string settings = ExpandSubTable(twenty_three, CanonCameraSettings);
  EXPECT_NE(settings.find("\"ISO Setting = 100\""), std::string::npos) << settings;
  EXPECT_NE(settings.find("\"Lens Type = Unknown\""), std::string::npos);
  EXPECT_NE(ExpandSubTable("0,0,160", CanonShotInfo).find("\"ISO = 100\""), std::string::npos);
  // Quoted items keep their commas; a comma at the end adds an empty item.
  EXPECT_EQ(ExpandSubTable("x,\"a, b\",", CanonFileInfo), "INLINE;\"File Number = a, b\",\"Shutter Count = \"");
}

// A huge list is read only as far as the table's positions go: a few characters of "7,7,...".
TEST(ValueFormattersTest, AHugeSettingsListIsReadOnlyAsFarAsTheTableGoes) {
  std::string list;
  for (int i = 0; i < 2000000; ++i) list += "7,";
  TCommaTextWork work;
  const std::string expanded = ExpandSubTable(list, CanonCameraSettings, &work);
  EXPECT_NE(expanded.find("\"Color Tone = 7\""), std::string::npos);
  EXPECT_GT(work.Items, 0u);
  EXPECT_LT(work.Items, 1000u);
  EXPECT_LE(work.Characters, 2 * work.Items);
  // The packed tag of a maker note, formatted through its row.
  std::string shorts;
  for (int i = 0; i < 1000000; ++i) shorts += U16(1);
  const auto packed = MakeTag(1, tdfUnsignedShort, 1000000, shorts);
  const std::string text = FormatTagValue(*packed, *FindTagEntry(CanonTags, 1));
  EXPECT_NE(text.find("\"Macro Mode = Macro\""), std::string::npos);
}

std::string BigEndianSettings(std::initializer_list<uint32_t> values) {
  std::string bytes;
  for (uint32_t v : values)
    bytes += {static_cast<char>(v >> 24), static_cast<char>((v >> 16) & 0xFF),
              static_cast<char>((v >> 8) & 0xFF), static_cast<char>(v & 0xFF)};
  return bytes;
}

TEST(ValueFormattersTest, MinoltaSettingsReadAsTheCameraWroteThem) {
  // Big-endian groups from byte 0: position 1 is the exposure mode, 2 the flash mode.
  const std::string block = BigEndianSettings({0, 3, 1, 0, 0, 2}) + "\x01\x02";
  const std::string expanded = ExpandMinoltaSettings(block);
  EXPECT_EQ(expanded.rfind("INLINE;\"Exposure Mode = Manual\",\"Flash Mode = Red-Eye reduction\","
                           "\"White Balance = 0\",\"Minolta Image Size = Full\","
                           "\"Minolta Quality = Fine\"", 0),
            0u)
      << expanded;
  // The short group is left out; the list's closing comma leaves one empty setting after it.
  EXPECT_EQ(expanded.substr(expanded.size() - 16), ",\"Drive Mode = \"");
  EXPECT_EQ(ExpandMinoltaSettings("\x01\x02\x03"), "INLINE;");

  // The tag's row expands the block as it is stored.
  const auto tag = MakeTag(3, tdfUndefined, static_cast<int32_t>(block.size()), block);
  EXPECT_EQ(FormatTagValue(*tag, *FindTagEntry(MinoltaTags, 3)), expanded);
}

}  // namespace
}  // namespace morvane
