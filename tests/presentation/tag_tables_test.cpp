// The dictionaries are data: their sizes, their ends, the rows that are easy to get wrong, and
// the value lists read item by item.
#include "presentation/tag_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"
#include "presentation/value_formatters.h"

namespace morvane {
namespace {

struct TableCase {
  const char* name;
  TTagDictionary table;
  size_t rows;
  uint16_t first_tag;
  const char* first_name;
  uint16_t last_tag;
  const char* last_name;
};

TEST(TagTablesTest, EveryTableHasItsRowsFromFirstToLast) {
  const TableCase cases[] = {
      {"MainTags", MainTags, 299, 1, "InteroperabilityIndex", 0, "Unknown"},
      {"GpsTags", GpsTags, 31, 0, "GPSVersionID", 30, "GPSDifferential"},
      {"IptcTags", IptcTags, 32, 0, "SKIP", 10, "Subfile"},
      {"NikonType1Tags", NikonType1Tags, 11, 2, "FamilyID", 3840, "Skip"},
      {"NikonTags", NikonTags, 56, 1, "FileSystemVersion", 3840, "Skip"},
      {"CanonTags", CanonTags, 18, 0, "Skip", 16, "Skip"},
      {"OlympusTags", OlympusTags, 39, 0, "MakernoteVersion", 4148, "CompressionRatio"},
      {"MinoltaTags", MinoltaTags, 51, 0, "MakernoteVersion", 4148, "CompressionRatio"},
      {"CasioTags", CasioTags, 26, 1, "RecordingMode", 26, "Skip"},
      {"FujifilmTags", FujifilmTags, 18, 0, "Version", 4866, "AEWarning"},
      {"SeikoTags", SeikoTags, 12, 512, "Special Mode", 3840, "skip"},
      {"SanyoTags", SanyoTags, 6, 512, "Special Mode", 3840, "DataDump"},
      {"CanonCameraSettings", CanonCameraSettings, 27, 1, "MacroMode", 42, "ColorTone"},
      {"CanonFocalLength", CanonFocalLength, 4, 0, "FocalType", 3, "FocalPlaneYSize"},
      {"CanonShotInfo", CanonShotInfo, 15, 2, "ISO", 29, "SelfTimer2"},
      {"CanonPanorama", CanonPanorama, 2, 2, "PanoramaFrame", 5, "PanoramaDirection"},
      {"CanonCameraInfo", CanonCameraInfo, 6, 4, "ExposureTime", 45, "FocalType"},
      {"CanonFileInfo", CanonFileInfo, 2, 1, "FileNumber", 2, "ShutterCount"},
      {"CanonColorInfo", CanonColorInfo, 1, 9, "ColorTemperature", 9, "ColorTemperature"},
      {"MinoltaCameraSettings", MinoltaCameraSettings, 49, 1, "ExposureMode", 52, "DataImprint"},
  };
  for (const TableCase& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(c.table.size(), c.rows);
    EXPECT_EQ(c.table.front().Tag, c.first_tag);
    EXPECT_EQ(c.table.front().Name, c.first_name);
    EXPECT_EQ(c.table.back().Tag, c.last_tag);
    EXPECT_EQ(c.table.back().Name, c.last_name);
  }
}

TEST(TagTablesTest, RowsThatAreEasyToGetWrong) {
  // Spellings kept as the tables have always had them.
  EXPECT_EQ(MainTags[30].Name, "GrayReponseUnit");
  EXPECT_EQ(MainTags[30].Tag, 290);
  const auto reduction = std::find_if(MainTags.begin(), MainTags.end(),
                                      [](const TTagEntry& e) { return e.Tag == 50725; });
  ASSERT_NE(reduction, MainTags.end());
  EXPECT_EQ(reduction->Description, "DNG Reduction Matrix1 1");
  // The DNG rows are out of numeric order: 50780 comes before 50719.
  const auto best = std::find_if(MainTags.begin(), MainTags.end(),
                                 [](const TTagEntry& e) { return e.Tag == 50780; });
  ASSERT_NE(best, MainTags.end());
  EXPECT_EQ((best + 1)->Tag, 50719);

  // The five pseudo rows before the catch-all.
  const std::vector<std::string_view> pseudo = {"JPGComment", "LensInfo", "ISO", "ImageDimension",
                                                "XMPExists"};
  for (size_t i = 0; i < pseudo.size(); ++i) {
    const TTagEntry& row = MainTags[MainTags.size() - 6 + i];
    EXPECT_EQ(row.Tag, 61166);
    EXPECT_EQ(row.Name, pseudo[i]);
  }
  EXPECT_EQ(MainTags[MainTags.size() - 2].Description, "Extensible Metadata (XMP) Exists?");

  // The degree sign is the code page's single byte.
  const auto orientation = std::find_if(MainTags.begin(), MainTags.end(),
                                        [](const TTagEntry& e) { return e.Tag == 274; });
  EXPECT_NE(orientation->Enumeration.find("3:Rotated 180\xB0,"), std::string_view::npos);

  // IPTC rows carry their record and length limit; only "Subfile" is of record 8.
  for (const TTagEntry& row : IptcTags) EXPECT_EQ(row.Record, row.Name == "Subfile" ? 8 : 2);
  EXPECT_EQ(IptcTags[0].MaxLength, 64);
  EXPECT_EQ(IptcTags[26].Name, "ImageCaption");
  EXPECT_EQ(IptcTags[26].MaxLength, 2000);

  EXPECT_EQ(SeikoTags[10].Name, "??");
  EXPECT_EQ(FujifilmTags[13].Name, "ContTake/Bracket");
  EXPECT_EQ(CanonTags[10].Name, "Color Info");
  EXPECT_EQ(CanonTags[16].Tag, 147);
  EXPECT_EQ(NikonTags[23].Name, "Tone Composition");
  // Nikon has two SerialNumber rows.
  EXPECT_EQ(NikonTags[21].Name, "SerialNumber");
  EXPECT_EQ(NikonTags[45].Name, "SerialNumber");
}

TEST(TagTablesTest, NoRowHasMoreThanOneValueRule) {
  const TTagDictionary tables[] = {MainTags,       GpsTags,          IptcTags,      NikonType1Tags,
                                   NikonTags,      CanonTags,        OlympusTags,   MinoltaTags,
                                   CasioTags,      FujifilmTags,     SeikoTags,     SanyoTags,
                                   CanonCameraSettings, CanonFocalLength, CanonShotInfo,
                                   CanonPanorama,  CanonCameraInfo,  CanonFileInfo, CanonColorInfo,
                                   MinoltaCameraSettings};
  for (TTagDictionary table : tables) {
    for (const TTagEntry& row : table) {
      const int rules = !row.Enumeration.empty() + !row.FormatString.empty() + (row.Formatter != nullptr);
      EXPECT_LE(rules, 1) << row.Name;
    }
  }
}

TEST(TagTablesTest, EachPackedTagExpandsThroughItsOwnSubTable) {
  struct Parent {
    uint16_t tag;
    TTagDictionary sub_table;
  };
  const Parent parents[] = {{1, CanonCameraSettings}, {2, CanonFocalLength}, {4, CanonShotInfo},
                            {5, CanonPanorama},       {10, CanonColorInfo},  {13, CanonCameraInfo},
                            {147, CanonFileInfo}};
  const std::string list(200, ',');  // 201 empty items: every position exists
  for (const Parent& p : parents) {
    const auto row = std::find_if(CanonTags.begin(), CanonTags.end(),
                                  [&](const TTagEntry& e) { return e.Tag == p.tag; });
    ASSERT_NE(row->Formatter, nullptr);
    EXPECT_EQ(row->Formatter(list), ExpandSubTable(list, p.sub_table)) << p.tag;
  }
  // Lookup order by name, each with its parent.
  ASSERT_EQ(CanonSubTables.size(), 7u);
  const uint16_t order[] = {1, 2, 4, 147, 13, 5, 10};
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(CanonSubTables[i].ParentTag, order[i]);
  EXPECT_EQ(CanonSubTables[0].Rows.data(), CanonCameraSettings.data());
  EXPECT_EQ(CanonSubTables[3].Rows.data(), CanonFileInfo.data());

  for (TTagDictionary table : {MinoltaTags, OlympusTags}) {
    for (uint16_t tag : {1, 3}) {
      const auto row = std::find_if(table.begin(), table.end(),
                                    [&](const TTagEntry& e) { return e.Tag == tag; });
      EXPECT_EQ(row->Formatter, &ExpandMinoltaSettings);
    }
  }
}

// The value-list rule as it reads well-formed lists: items split at every comma, key before the
// first colon.
std::vector<std::pair<std::string, std::string>> StrictItems(std::string_view list) {
  std::vector<std::pair<std::string, std::string>> items;
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    if (comma == std::string_view::npos) comma = list.size();
    const std::string item = Trim(list.substr(start, comma - start));
    const size_t colon = item.find(':');
    if (colon != std::string::npos) items.emplace_back(Trim(item.substr(0, colon)), Trim(item.substr(colon + 1)));
    start = comma + 1;
  }
  return items;
}

TEST(TagTablesTest, WellFormedValueListsReadItemByItem) {
  const TTagDictionary tables[] = {MainTags,    GpsTags,     NikonType1Tags,      NikonTags,
                                   CanonTags,   OlympusTags, MinoltaTags,         CasioTags,
                                   FujifilmTags, CanonCameraSettings, CanonFocalLength,
                                   CanonShotInfo, CanonPanorama, CanonCameraInfo,
                                   MinoltaCameraSettings};
  // The rows whose lists need the irregular forms; they have their own test.
  const std::vector<std::string_view> irregular = {"Flash", "LensID", "Macro", "CanonISO"};
  int lists = 0;
  for (TTagDictionary table : tables) {
    for (const TTagEntry& row : table) {
      if (row.Enumeration.empty()) continue;
      if (std::find(irregular.begin(), irregular.end(), row.Name) != irregular.end() &&
          (row.Name != "Macro" || row.Enumeration.find('=') != std::string_view::npos))
        continue;
      ++lists;
      std::vector<std::string> seen;
      for (const auto& [key, text] : StrictItems(row.Enumeration)) {
        if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;  // first wins
        seen.push_back(key);
        EXPECT_EQ(EnumerationText(key, row.Enumeration), text) << row.Name << " " << key;
      }
    }
  }
  EXPECT_GT(lists, 100);
}

TEST(TagTablesTest, IrregularValueListsReadAsMeant) {
  auto list_of = [](TTagDictionary table, uint16_t tag) {
    return std::find_if(table.begin(), table.end(), [&](const TTagEntry& e) { return e.Tag == tag; })
        ->Enumeration;
  };
  const struct {
    std::string_view list;
    const char* key;
    const char* text;
  } cases[] = {
      {list_of(MainTags, 37385), "29", "Auto; Fired, Return Undetected"},
      {list_of(MainTags, 37385), "31", "Auto; Fired, Return Detected"},
      {list_of(MainTags, 37385), "32", "No flash function"},
      {list_of(MinoltaTags, 268), "22", "35-80,, F4-5.6"},
      {list_of(MinoltaTags, 268), "23", "AF200mm F4G Macro"},
      {list_of(MinoltaTags, 268), "128", "TAMRON 18-200, 28-300 or 80-300mm F3.5-6.3"},
      {list_of(MinoltaTags, 268), "25811",
       "AF100mm F2.8 Macro(D), TAMRON 90mm F2.8 Macro or SIGMA 180mm F5.6 Macro"},
      {list_of(MinoltaTags, 268), "25858", "TAMRON 24-135mm F3.5-5.6"},
      {list_of(MinoltaTags, 268), "45741", "AF200mm F2.8G x2 or TOKINA 300mm F2.8 x2"},
      {list_of(OlympusTags, 514), "0", "Normal"},
      {list_of(OlympusTags, 514), "1", "Macro"},
      {list_of(MinoltaTags, 514), "0", "Normal"},
      {list_of(MinoltaTags, 514), "1", "Macro"},
      {list_of(CanonCameraSettings, 16), "20", "800"},
      {list_of(CanonCameraSettings, 16), "21", "1600"},
      {list_of(CanonCameraSettings, 16), "19", "400"},
  };
  for (const auto& c : cases) EXPECT_EQ(EnumerationText(c.key, c.list), c.text) << c.key;
  // The pieces that continue a text are no items of their own.
  EXPECT_EQ(EnumerationText("", list_of(MainTags, 37385)), "");
  EXPECT_EQ(EnumerationText("Return Undetected", list_of(MainTags, 37385)), "Return Undetected");
}

}  // namespace
}  // namespace morvane
