// The X3F reader: header size and rotation, the version from which properties are read, the
// mapping of properties onto tags (decimal focal lengths as exact fractions, unreadable values
// left out without losing the rest), the caption list, the JPEG preview, and damaged counts.
#include <gtest/gtest.h>

#include "metadata/tif_reader.h"
#include "platform/byte_view.h"
#include "platform/errors.h"
#include "platform/regional.h"
#include "support/jpeg_writer.h"
#include "support/samples.h"
#include "support/temp_file.h"
#include "support/x3f_writer.h"

namespace morvane {
namespace {

using testing::Le32;
using testing::TempDir;
using testing::X3fWriter;

// The properties of a SIGMA DP2, as the camera writes them.
const X3fWriter::Properties kDp2Properties = {
    {"AEMODE", "8"},         {"APERTURE", "2.80000"}, {"BRACKET", " "},
    {"CAMMANUF", "SIGMA"},   {"CAMMODEL", "SIGMA DP2"}, {"EXPTIME", "100000"},
    {"FLASH", "OFF"},        {"FLENGTH", "24.2"},     {"FLEQ35MM", "41"},
    {"ISO", "100"},          {"LENSFRANGE", "24.2"},  {"SH_DESC", "1/10"},
    {"TIME", "1259413520"},  {"WB_DESC", "Auto"},
};

std::unique_ptr<TTif> ReadX3f(const TempDir& dir, const X3fWriter& writer, bool silent = false) {
  auto tif = std::make_unique<TTif>();
  tif->FileName = dir.Write("a.x3f", writer.Build());
  tif->Open(silent, false);
  return tif;
}

std::string RawText(const TTif& tif, int number) {
  const TTifTag* tag = tif.FindTag(number, ikAll);
  return tag != nullptr ? tag->RawTagValue() : "<none>";
}

std::string ValueText(const TTif& tif, int number) {
  const TTifTag* tag = tif.FindTag(number, ikAll);
  return tag != nullptr ? tag->GetValue().AsText() : "<none>";
}

// The numerator and denominator a rational tag stores.
std::pair<uint32_t, uint32_t> Fraction(const TTif& tif, int number) {
  const TTifTag* tag = tif.FindTag(number, ikAll);
  if (tag == nullptr || tag->DataStream.Size() != 8) return {0, 0};
  const TByteView b(tag->DataStream.Bytes());
  return {b.LE32(0).value_or(0), b.LE32(4).value_or(0)};
}

TEST(X3fReaderTest, PropertiesAreReadFromVersion21On) {
  const struct {
    uint16_t v0, v1;
    bool properties;
  } cases[] = {{0, 2, false}, {1, 9, false}, {2, 0, false}, {2, 1, true}, {2, 2, true}, {3, 2, true}};
  TempDir dir;
  for (const auto& c : cases) {
    X3fWriter w;
    w.V0 = c.v0;
    w.V1 = c.v1;
    w.AddProperties({{"CAMMODEL", "SIGMA SD10"}});
    const auto tif = ReadX3f(dir, w);
    EXPECT_EQ(ValueText(*tif, 256), "2640");
    EXPECT_EQ(ValueText(*tif, 257), "1760");
    EXPECT_EQ(ValueText(*tif, 272), c.properties ? "SIGMA SD10" : "<none>") << c.v0 << "." << c.v1;
    EXPECT_EQ(tif->ByteOrder, tboIntel);
    EXPECT_NE(tif->FindTag(34665, ikBase), nullptr);
  }
}

TEST(X3fReaderTest, RotationSetsOrientation) {
  const std::pair<uint32_t, std::string> cases[] = {{0, "1"}, {90, "6"}, {180, "3"}, {270, "8"}, {45, "1"}};
  TempDir dir;
  for (const auto& [rotation, orientation] : cases) {
    X3fWriter w;
    w.Rotation = rotation;
    EXPECT_EQ(ValueText(*ReadX3f(dir, w), 274), orientation) << rotation;
  }
}

TEST(X3fReaderTest, MapsTheDp2PropertiesOntoTags) {
  X3fWriter w;
  w.V0 = 3;
  w.AddProperties(kDp2Properties);
  TempDir dir;
  const auto tif = ReadX3f(dir, w);
  EXPECT_EQ(tif->GetMake(), "SIGMA");
  EXPECT_EQ(tif->GetModel(), "SIGMA DP2");
  EXPECT_EQ(Fraction(*tif, 37386), std::make_pair(242u, 10u));
  EXPECT_EQ(Fraction(*tif, 41989), std::make_pair(41u, 1u));
  EXPECT_EQ(ValueText(*tif, 33437), "2.8");
  EXPECT_EQ(ValueText(*tif, 34855), "100");
  EXPECT_EQ(ValueText(*tif, 37383), "5");
  EXPECT_EQ(ValueText(*tif, 37385), "0");
  for (int date_tag : {306, 36867, 36868}) EXPECT_EQ(ValueText(*tif, date_tag), "2009:11:28 13:05:20");
  EXPECT_NE(tif->ExifIFD.FindTag(37386), nullptr);
  EXPECT_NE(tif->IFDs[0]->FindTag(306), nullptr);

  const TTifTag* caption = tif->IPTCIFD.FindTag(120);
  ASSERT_NE(caption, nullptr);
  const std::string text = caption->GetValue().AsText();
  EXPECT_EQ(text.substr(0, 34), "AEMODE=8\r\nAPERTURE=2.80000\r\nBRACKE");
  EXPECT_NE(text.find("\r\nFLENGTH=24.2\r\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 14), "WB_DESC=Auto\r\n");
}

TEST(X3fReaderTest, ValueRules) {
  const struct {
    X3fWriter::Properties properties;
    int tag;
    std::string value;
  } cases[] = {
      {{{"TIME", "0"}}, 36868, "1970:01:01 00:00:00"},
      {{{"AEMODE", "c"}}, 37383, "0"},
      {{{"AEMODE", "C"}}, 37383, "2"},
      {{{"AEMODE", "A"}}, 37383, "1"},
      {{{"FLASH", "On"}}, 37385, "0"},
      {{{"FLASH", "ON"}}, 37385, "1"},
      {{{"FLASH", "REDEYE"}}, 37385, "69"},
      {{{"FLENGTH", "50"}}, 37386, "50"},
      {{{"FLENGTH", "24.20"}}, 37386, "121/5"},
      {{{"FLENGTH", "wide"}}, 37386, "<none>"},
      {{{"ISO", "100.4"}}, 34855, "100"},
      {{{"iso", "200"}}, 34855, "200"},
      {{{"CAMMANUF", "First"}, {"CamManuf", "Later"}}, 271, "Later"},
      {{{"EXPTIME", "100000"}, {"SH_DESC", "1/10"}}, 33434, "<none>"},
  };
  TempDir dir;
  for (const auto& c : cases) {
    X3fWriter w;
    w.AddProperties(c.properties);
    EXPECT_EQ(RawText(*ReadX3f(dir, w), c.tag), c.value) << c.properties[0].first << "=" << c.properties[0].second;
  }
}

// A value the row cannot take is left out; every other property and the caption list remain.
TEST(X3fReaderTest, UnreadableValuesAreLeftOut) {
  X3fWriter w;
  w.AddProperties({{"APERTURE", "wide open"},
                   {"TIME", "yesterday"},
                   {"CAMMANUF", "First"},
                   {"EMPTY", ""},
                   {"CAMMANUF", "SIGMA"},
                   {"ISO", "99999999999"},
                   {"CAMMODEL", "SIGMA DP2"}});
  TempDir dir;
  const auto tif = ReadX3f(dir, w);
  EXPECT_EQ(ValueText(*tif, 33437), "<none>");
  EXPECT_EQ(ValueText(*tif, 306), "<none>");
  EXPECT_EQ(ValueText(*tif, 34855), "<none>");
  EXPECT_EQ(tif->GetMake(), "SIGMA");
  EXPECT_EQ(tif->GetModel(), "SIGMA DP2");
  EXPECT_EQ(ValueText(*tif, 120),
            "APERTURE=wide open\r\nTIME=yesterday\r\nCAMMANUF=SIGMA\r\nISO=99999999999\r\nCAMMODEL=SIGMA DP2\r\n");
}

TEST(X3fReaderTest, DecimalFocalLengthsFollowTheRegionalSeparator) {
  SetRegionalSettings({',', '.', ':'});
  X3fWriter w;
  w.AddProperties({{"FLENGTH", "24.2"}, {"FLEQ35MM", "35,5"}, {"APERTURE", "5.6"}});
  TempDir dir;
  const auto tif = ReadX3f(dir, w);
  ResetRegionalSettings();
  EXPECT_EQ(Fraction(*tif, 37386), std::make_pair(242u, 10u));
  EXPECT_EQ(Fraction(*tif, 41989), std::make_pair(355u, 10u));
  EXPECT_NE(tif->FindTag(33437, ikAll), nullptr);
}

TEST(X3fReaderTest, JpegImageBecomesTheThumbnail) {
  const std::string small = testing::JpegWriter().Frame(8, 8).Build();
  const std::string large = testing::JpegWriter().Comment(std::string(100, 'x')).Frame(160, 120).Build();
  X3fWriter w;
  w.AddSection("IMAG", "SECi" + Le32(0x20000) + Le32(2) + Le32(3) + Le32(10) + Le32(10) + Le32(30));
  w.AddJpegImage(small);
  w.AddJpegImage(large);
  w.AddJpegImage("<Dummy image data>");
  w.AddProperties({{"CAMMANUF", "SIGMA"}});
  TempDir dir;
  const auto tif = ReadX3f(dir, w);
  ASSERT_NE(tif->GetThumbnailStream(), nullptr);
  EXPECT_EQ(tif->GetThumbnailStream()->View(), large);
  EXPECT_EQ(tif->GetMake(), "SIGMA");
}

TEST(X3fReaderTest, DamagedCountsAndOffsetsStayInsideTheFile) {
  TempDir dir;
  {
    // Four billion properties: a read failure, nothing allocated for them.
    X3fWriter w;
    w.AddSection("PROP", X3fWriter::PropertySectionRaw(0xFFFFFFFF, 10, {0, 2}, std::u16string(u"AB\0CD\0", 6)));
    TTif tif;
    tif.FileName = dir.Write("a.x3f", w.Build());
    EXPECT_THROW(tif.Open(false, false), EReadError);
    EXPECT_NO_THROW(tif.Open(true, false));
    EXPECT_EQ(ValueText(tif, 256), "2640");
  }
  {
    // Four billion sections: the real ones are read, then the walk fails.
    X3fWriter w;
    w.AddProperties({{"CAMMANUF", "SIGMA"}});
    w.SetEntryCountRaw(0xFFFFFFFF);
    EXPECT_EQ(ReadX3f(dir, w, true)->GetMake(), "SIGMA");
  }
  {
    // Character offsets beyond the data and in reverse order give empty texts.
    X3fWriter w;
    w.AddSection("PROP", X3fWriter::PropertySectionRaw(3, 6, {0, 3, 900, 4000000000u, 5, 1},
                                                       std::u16string(u"AB\0CD\0", 6)));
    const auto tif = ReadX3f(dir, w, true);
    EXPECT_EQ(ValueText(*tif, 120), "AB=CD\r\n=B\r\n");
  }
  {
    // Many directory entries on one large property section: the work stops at its budget.
    std::string x3f;
    {
      X3fWriter::Properties properties(4000, {"NAME", "VALUE"});
      X3fWriter w;
      for (int i = 0; i < 3000; ++i) w.AddSection("PROP", "");
      w.AddProperties(properties);
      x3f = w.Build();
    }
    // Point every entry at the property section.
    const size_t directory = x3f.find("SECd");
    const std::string section_offset = x3f.substr(x3f.size() - 4 - 12, 4);
    for (size_t entry = directory + 12; entry + 12 < x3f.size() - 4; entry += 12)
      x3f.replace(entry, 4, section_offset);
    TTif tif;
    tif.FileName = dir.Write("b.x3f", x3f);
    tif.Open(true, false);
    EXPECT_LE(tif.Work.SectionWork, 4 * static_cast<int64_t>(x3f.size()) + (int64_t{1} << 20));
    EXPECT_EQ(ValueText(tif, 120), "NAME=VALUE\r\n");
  }
  {
    // A directory offset beyond the file, a missing signature, a file cut in its header.
    X3fWriter w;
    std::string bytes = w.Build();
    bytes.replace(bytes.size() - 4, 4, Le32(1u << 31));
    TTif tif;
    tif.FileName = dir.Write("c.x3f", bytes);
    EXPECT_THROW(tif.Open(false, false), EReadError);
    tif.FileName = dir.Write("d.x3f", "FOVc" + bytes.substr(4));
    EXPECT_NO_THROW(tif.Open(false, false));
    EXPECT_EQ(ValueText(tif, 256), "<none>");
    tif.FileName = dir.Write("e.x3f", bytes.substr(0, 30));
    EXPECT_NO_THROW(tif.Open(true, false));
  }
}

TEST(X3fReaderTest, DamagedFilesEndQuietly) {
  X3fWriter w;
  w.AddJpegImage(testing::JpegWriter().Frame(8, 8).Build());
  w.AddProperties(kDp2Properties);
  const std::string x3f = w.Build();
  const auto read = [](const std::string& bytes) {
    TTif tif;
    tif.FileName = "a.x3f";
    TMemoryStream stream(bytes);
    try {
      tif.ReadX3F(stream);
    } catch (const EMorvaneError&) {
    }
  };
  for (size_t cut = 0; cut <= x3f.size(); cut += 3) read(x3f.substr(0, cut));
  for (size_t at = 0; at < x3f.size(); ++at) {
    for (const char value : {'\x00', '\xFF', '\x80'}) {
      std::string damaged = x3f;
      damaged[at] = value;
      read(damaged);
    }
  }
}

TEST(X3fReaderTest, RealX3fFiles) {
  const struct {
    const char* file;
    const char* model;
    const char* date;
    const char* orientation;
    std::pair<uint32_t, uint32_t> focal_length;
  } cases[] = {
      {"Sigma.x3f", "SIGMA SD10", "2001:01:01 00:36:35", "6", {30, 1}},
      {"SigmaDP2.x3f", "SIGMA DP2", "2009:11:28 13:05:20", "1", {242, 10}},
  };
  for (const auto& c : cases) {
    MORVANE_REQUIRE_SAMPLE(path, c.file);
    TTif tif;
    tif.FileName = path;
    tif.Open(false, false);
    EXPECT_EQ(tif.GetMake(), "SIGMA");
    EXPECT_EQ(tif.GetModel(), c.model);
    EXPECT_EQ(ValueText(tif, 36867), c.date);
    EXPECT_EQ(ValueText(tif, 274), c.orientation);
    EXPECT_EQ(Fraction(tif, 37386), c.focal_length);
    EXPECT_EQ(ValueText(tif, 34855), "100");
  }
}

}  // namespace
}  // namespace morvane
