// The tag listing: its groups and their order, fixed lines set by name, expanded values as lines
// of their own, what is left out, failures; then the listings of real camera files.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "metadata/tif_reader.h"
#include "platform/errors.h"
#include "presentation/image_dimensions.h"
#include "presentation/tag_fixture.h"
#include "presentation/tag_list.h"
#include "presentation/tag_queries.h"
#include "support/samples.h"

namespace morvane {
namespace {

using testing::TagFixture;
using Lines = std::vector<std::string>;

Lines ListOf(TTif& tif, int kinds = ikAll) {
  Lines lines;
  GetTagList(tif, lines, kinds);
  return lines;
}

bool Has(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(TagListTest, GroupsInOrderWithExpandedValuesAndLeftOutTags) {
  TagFixture f("IMG_0001.CR2");
  f.Camera("Canon", "Canon EOS 5D");
  TagFixture::Shorts(f.Ifd0(), 274, {3});
  TagFixture::Text(f.Ifd0(), 270, std::string(4000, 'x'));  // too long to list
  TagFixture::Shorts(f.Ifd0(), 33723, {1});                  // the IPTC block: listed elsewhere
  TagFixture::Rationals(f.tif->ExifIFD, 33434, {1, 200});
  TagFixture::Shorts(f.tif->GPSIFD, 0, {2});  // number 0 is never listed
  TTifIFD& notes = f.tif->ExifMarkerNotesIFD;
  TagFixture::Shorts(notes, 3, {1, 2});  // a "Skip" row
  TagFixture::Shorts(notes, 1, {0, 2, 0, 4});
  TagFixture::Text(notes, 9, "Jane");
  TagFixture::Bytes(notes, 12, std::string(3073, '\1'));

  const Lines expected = {
      "Byte Order=Intel",
      "Extensible Metadata (XMP) Exists?=No",
      "Camera Maker=Canon",
      "Camera Model=Canon EOS 5D",
      "Orientation=Rotated 180\xB0",
      "=",
      "Exposure Time=1/200 sec",
      "=",
      "Macro Mode = Normal",
      "Self Timer = 0",
      "Original Quality = RAW",
      "=",
      "Owner Name=Jane",
      "=",
      "=",
      "IPTC Segment Available?=Yes",
  };
  EXPECT_EQ(ListOf(*f.tif), expected);
}

TEST(TagListTest, KindsFixedLinesAndEmptyReaders) {
  TagFixture f("photo.jpg");
  f.Camera("PENTAX");
  TagFixture::Rationals(f.tif->ExifIFD, 33437, {28, 10});
  f.tif->JpgCommentStream.Write("hello", 5);
  TagFixture::Text(f.tif->IPTCIFD, 0, "\x02");
  TagFixture::Text(f.tif->IPTCIFD, 5, "Title");
  f.tif->ByteOrder = tboMotorola;

  EXPECT_EQ(ListOf(*f.tif, ikExif), (Lines{"Byte Order=Motorola", "F-Number=F2.8", "=", "JPG Comment=hello", "="}));
  EXPECT_EQ(ListOf(*f.tif, ikIPTC), (Lines{"Byte Order=Motorola", "=", "IPTC Segment Available?=Yes", "Object Name=Title", "="}));

  // Fixed lines replace a line of the same name already in the list.
  Lines lines = {"byte order=old", "Other=1"};
  GetTagList(*f.tif, lines, ikGps);
  EXPECT_EQ(lines, (Lines{"Byte Order=Motorola", "Other=1"}));

  TTif nothing;
  EXPECT_TRUE(ListOf(nothing).empty());
  TagFixture derived;
  derived.Ifd0();
  derived.tif->ByteOrder = tboDerived;
  EXPECT_EQ(ListOf(*derived.tif, ikGps), Lines{"Byte Order=THIS EXIF IS DERIVED FROM XMP"});
}

TEST(TagListTest, NikonNotesAreNamedByTheirType) {
  TagFixture f;
  f.Camera("NIKON");
  TagFixture::Text(f.tif->ExifMarkerNotesIFD, 2, "E990");
  f.tif->ExifMarkerNotesIFD.IFDType = "1";
  EXPECT_TRUE(Has(ListOf(*f.tif, ikMakerNotes), "File System Version=E990"));
  f.tif->ExifMarkerNotesIFD.IFDType = "3";
  EXPECT_TRUE(Has(ListOf(*f.tif, ikMakerNotes), "ISO Speed=E990"));
}

TEST(TagListTest, ANonNumericExifVersionFailsTheListingAfterTheGroupsBeforeIt) {
  TagFixture f;
  f.Camera("NIKON CORPORATION");
  TagFixture::Text(f.tif->ExifIFD, 36864, "02x1");
  Lines lines;
  EXPECT_THROW(GetTagList(*f.tif, lines, ikAll), EConvertError);
  EXPECT_TRUE(Has(lines, "Camera Maker=NIKON CORPORATION"));
  EXPECT_TRUE(Has(lines, "ExifVersion=02x1"));
  EXPECT_FALSE(Has(lines, "IPTC Segment Available?=Yes"));
  // Without the maker-note kind the version is not looked at.
  EXPECT_NO_THROW(ListOf(*f.tif, ikBase | ikExif | ikIPTC));
}

TEST(TagListTest, RealFilesListWhatAPhotographerReads) {
  MORVANE_REQUIRE_SAMPLE(nef, "Nikon.nef");
  TTif nikon;
  nikon.FileName = nef;
  nikon.Open(true, false);
  const Lines nikon_lines = ListOf(nikon);
  for (const char* line : {"Camera Maker=NIKON CORPORATION", "Camera Model=NIKON D70", "Orientation=Normal",
                           "Exposure Time=1/20 sec", "F-Number=F3.5", "Focal Length=18.00 mm", "ISO=200",
                           "Lens Information=18-70 mm  F3.5-F4.5", "Color Hue=Mode 2 (Adobe RGB)", "Lens Data="})
    EXPECT_TRUE(Has(nikon_lines, line)) << line;
  EXPECT_EQ(GetLensInfo(nikon), "18-70 mm  F3.5-F4.5");
  EXPECT_EQ(ComputeImgDimensions(nikon), "3008x2000");

  MORVANE_REQUIRE_SAMPLE(cr2, "CanonRaw.cr2");
  TTif canon;
  canon.FileName = cr2;
  canon.Open(true, false);
  const Lines canon_lines = ListOf(canon);
  const auto settings = std::find(canon_lines.begin(), canon_lines.end(), "Macro Mode = Normal");
  ASSERT_NE(settings, canon_lines.end());
  EXPECT_EQ(*(settings - 1), "=");
  EXPECT_EQ(*(settings + 1), "Self Timer = 0");
  for (const char* line : {"Lens Focal Min = 18", "Lens Focal Max = 55", "ISO = 400", "Focal Type = Zoom"})
    EXPECT_TRUE(Has(canon_lines, line)) << line;
  EXPECT_EQ(GetLensInfo(canon), "18-55 mm");
  EXPECT_EQ(GetValueByName(canon, "LensShortFocal", ikMakerNotes), "18");
  EXPECT_EQ(ComputeImgDimensions(canon), "3456x2304");
}

TEST(TagListTest, MinoltaSettingsOfARealFileReadAsTheCameraSet) {
  MORVANE_REQUIRE_SAMPLE(mrw, "Minolta.mrw");
  TTif minolta;
  minolta.FileName = mrw;
  minolta.Open(true, false);
  const Lines lines = ListOf(minolta);
  for (const char* line : {"Exposure Mode = Manual", "Minolta Quality = RAW", "Drive Mode = Single",
                           "Macro Mode = Off", "ISO Setting = 64", "MinoltaModel = DiMAGE A2 or S414",
                           "Focus Area = Spot Focus"})
    EXPECT_TRUE(Has(lines, line)) << line;
  EXPECT_EQ(GetValueByName(minolta, "DriveMode", ikMakerNotes), "Single");
}

}  // namespace
}  // namespace morvane
