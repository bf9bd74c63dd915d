// Lookups over the dictionaries: first match wins, names ignore letter case, keys are 16-bit,
// which table serves which directory and camera, and the value-list rule.
#include "presentation/tag_dictionary.h"

#include <gtest/gtest.h>

#include <thread>

#include "metadata/tif_reader.h"
#include "platform/errors.h"
#include "presentation/dictionary_lock.h"
#include "presentation/tag_tables.h"

namespace morvane {
namespace {

std::string NameOf(const std::optional<TTagEntry>& entry) {
  return entry ? std::string(entry->Name) : "<none>";
}

TEST(TagDictionaryTest, LookupByNumberTakesTheFirstRowAndOnly16BitKeys) {
  EXPECT_EQ(NameOf(FindTagEntry(MainTags, 274)), "Orientation");
  EXPECT_EQ(NameOf(FindTagEntry(MainTags, 61166)), "JPGComment");
  EXPECT_EQ(NameOf(FindTagEntry(MainTags, 0)), "Unknown");
  EXPECT_EQ(NameOf(FindMainTagEntry(33723)), "Skip");
  EXPECT_EQ(NameOf(FindTagEntry(IptcTags, 10)), "Urgency");  // never the record-8 "Subfile"
  EXPECT_EQ(NameOf(FindTagEntry(MainTags, 65536 + 274)), "<none>");
  EXPECT_EQ(NameOf(FindTagEntry(MainTags, 65536)), "<none>");  // not the catch-all 0
  EXPECT_EQ(NameOf(FindTagEntry(MainTags, -1)), "<none>");
  EXPECT_EQ(NameOf(FindTagEntry(MainTags, 12345)), "<none>");
  EXPECT_EQ(NameOf(FindTagEntry(TTagDictionary(), 1)), "<none>");

  const auto missing = FindTagEntry(MainTags, 12345);
  EXPECT_EQ(missing.value_or(TTagEntry{}).Label(), "");
}

TEST(TagDictionaryTest, LookupByNameIgnoresLetterCaseAndTakesTheFirstRow) {
  const auto cfa = FindTagEntryByName(MainTags, "cfapattern");
  ASSERT_TRUE(cfa);
  EXPECT_EQ(cfa->Tag, 33422);
  EXPECT_EQ(FindTagEntryByName(OlympusTags, "ImageQuality")->Tag, 258);
  EXPECT_EQ(FindTagEntryByName(NikonTags, "SERIALNUMBER")->Tag, 29);
  EXPECT_EQ(FindTagEntryByName(SeikoTags, "Skip")->Tag, 515);
  EXPECT_FALSE(FindTagEntryByName(MainTags, "Orientation "));
}

TEST(TagDictionaryTest, LabelIsTheDescriptionOrElseTheName) {
  EXPECT_EQ(FindMainTagEntry(271)->Label(), "Camera Maker");
  EXPECT_EQ(FindMainTagEntry(274)->Label(), "Orientation");
  EXPECT_EQ(FindTagEntry(CanonCameraSettings, 13)->Label(), "Contrast");
}

TEST(TagDictionaryTest, KindsChooseTheTables) {
  EXPECT_EQ(NameOf(FindTagEntryForKinds(1, ikMakerNotes)), "FileSystemVersion");
  EXPECT_EQ(NameOf(FindTagEntryForKinds(1, ikBase)), "InteroperabilityIndex");
  EXPECT_EQ(NameOf(FindTagEntryForKinds(1, ikInterExif)), "InteroperabilityIndex");
  EXPECT_EQ(NameOf(FindTagEntryForKinds(1, ikGps)), "GPSLatitudeRef");
  EXPECT_EQ(NameOf(FindTagEntryForKinds(1, ikGps | ikIPTC)), "GPSLatitudeRef");
  EXPECT_EQ(NameOf(FindTagEntryForKinds(5, ikIPTC)), "ObjectName");
  EXPECT_EQ(NameOf(FindTagEntryForKinds(2, ikMakerNotes)), "FamilyID");  // Nikon type 1 first
  EXPECT_EQ(NameOf(FindTagEntryForKinds(147, ikMakerNotes)), "FileInfo");
  EXPECT_EQ(NameOf(FindTagEntryForKinds(42, ikMakerNotes)), "ColorTone");
  // The other makers' tables are not consulted without the make.
  EXPECT_EQ(NameOf(FindTagEntryForKinds(4148, ikMakerNotes)), "<none>");
  EXPECT_EQ(NameOf(FindTagEntryForKinds(274, 0)), "<none>");
}

TEST(TagDictionaryTest, MakesChooseTheMakerTable) {
  const struct {
    const char* make;
    TTagDictionary table;
  } cases[] = {
      {"Canon", CanonTags},           {"NIKON CORPORATION", NikonTags},
      {"CASIO COMPUTER", CasioTags},  {"OLYMPUS OPTICAL CO.,LTD", OlympusTags},
      {"FUJIFILM", FujifilmTags},     {"SEIKO EPSON", SeikoTags},
      {"SANYO Electric", SanyoTags},  {"Minolta Co., Ltd.", MinoltaTags},
      {"kOnIcA MINOLTA", MinoltaTags}, {"Pentax", {}},
      {"Cano", {}},                   {" Canon", {}},  // the make is not trimmed
      {"", {}},
  };
  for (const auto& c : cases) {
    const TTagDictionary got = MakerTagDictionary(c.make);
    EXPECT_EQ(got.data(), c.table.data()) << c.make;
    EXPECT_EQ(got.size(), c.table.size()) << c.make;
  }
}

TEST(TagDictionaryTest, NikonNotesAreListedByTheirHeaderTypeOrTheExifVersion) {
  TTif tif;
  TTifIFD& notes = tif.ExifMarkerNotesIFD;
  auto listed_with = [&] { return MakerNotesTagListDictionary(tif, "NIKON", notes).data(); };
  notes.IFDType = "1";
  EXPECT_EQ(listed_with(), NikonType1Tags.data());
  notes.IFDType = "2";
  EXPECT_EQ(listed_with(), NikonTags.data());
  notes.IFDType = "3";
  EXPECT_EQ(listed_with(), NikonTags.data());

  notes.IFDType = "";
  EXPECT_EQ(listed_with(), NikonType1Tags.data());  // no EXIF version
  TTifTag* version = tif.ExifIFD.Tags.Add();
  version->TagNumber = 36864;
  version->DataFormat = tdfAsciiString;
  version->SetValue("0221");
  EXPECT_EQ(listed_with(), NikonTags.data());
  version->SetValue("0210");
  EXPECT_EQ(listed_with(), NikonType1Tags.data());
  version->SetValue("02.2");
  EXPECT_THROW(listed_with(), EConvertError);
  // Other makes do not look at the version.
  EXPECT_EQ(MakerNotesTagListDictionary(tif, "Canon", notes).data(), CanonTags.data());
}

TEST(TagDictionaryTest, ValueListsMatchKeysAsTextIgnoringCase) {
  const std::string_view orientation = FindMainTagEntry(274)->Enumeration;
  EXPECT_EQ(EnumerationText("6", orientation), "Counter Clockwise 90\xB0");
  EXPECT_EQ(EnumerationText("1", orientation), "Normal");
  EXPECT_EQ(EnumerationText("9", orientation), "9");
  EXPECT_EQ(EnumerationText("06", orientation), "06");
  EXPECT_EQ(EnumerationText(" 6", orientation), " 6");
  EXPECT_EQ(EnumerationText("n", FindTagEntry(GpsTags, 1)->Enumeration), "North");
  EXPECT_EQ(EnumerationText("65535", FindMainTagEntry(40961)->Enumeration), "AdobeRGB");
  EXPECT_EQ(EnumerationText("2", FindMainTagEntry(262)->Enumeration), "RGB");
  EXPECT_EQ(EnumerationText("2", FindTagEntry(MinoltaCameraSettings, 52)->Enumeration),
            "MM/DD/HH:MM");
  EXPECT_EQ(EnumerationText("x", ""), "x");
  EXPECT_EQ(EnumerationText("", "a:b, no key ,c:d"), "");
  EXPECT_EQ(EnumerationText("", "no key,c:d"), "no key");
}

TEST(TagDictionaryTest, LookupsReenterTheDictionaryLockOnTheSameThread) {
  TLockGuard outer(DictionaryLock());
  EXPECT_EQ(NameOf(FindMainTagEntry(274)), "Orientation");  // re-entered on this thread
  bool other_thread_got_in = false;
  std::thread other([&] {
    other_thread_got_in = DictionaryLock().try_lock();
    if (other_thread_got_in) DictionaryLock().unlock();
  });
  other.join();
  EXPECT_FALSE(other_thread_got_in);
}

}  // namespace
}  // namespace morvane
