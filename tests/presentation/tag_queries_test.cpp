// Tag text by number and by name, settings inside packed maker-note values, lens, ISO, image
// size and the tag properties, over readers filled in memory.
#include "presentation/tag_queries.h"

#include <gtest/gtest.h>

#include "metadata/tif_reader.h"
#include "presentation/image_dimensions.h"
#include "presentation/tag_fixture.h"
#include "presentation/tag_tables.h"
#include "support/temp_file.h"
#include "support/tiff_writer.h"

namespace morvane {
namespace {

using testing::Order;
using testing::TagFixture;
using testing::TempDir;
using testing::TiffWriter;

TEST(TagQueriesTest, OrientationTextsByNumber) {
  const char* texts[] = {"Normal",
                         "Normal Flipped",
                         "Rotated 180\xB0",
                         "Rotated 180\xB0 Flipped",
                         "Counter Clockwise 90\xB0 Flipped",
                         "Counter Clockwise 90\xB0",
                         "Clockwise 90\xB0 Flipped",
                         "Clockwise 90\xB0",
                         "9"};
  for (uint16_t value = 1; value <= 9; ++value) {
    TagFixture f;
    TagFixture::Shorts(f.Ifd0(), 274, {value});
    EXPECT_EQ(GetTagText(*f.tif, 274, ikAll), texts[value - 1]);
  }
  TagFixture empty;
  empty.Ifd0();
  EXPECT_EQ(GetTagText(*empty.tif, 274, ikAll), "");
}

TEST(TagQueriesTest, TagTextLooksOnlyInTheKindsAsked) {
  TagFixture f("photo.cr2");
  f.Camera("Canon", "Canon EOS 5D");
  TagFixture::Text(f.tif->ExifInterIFD, 1, "R98");
  TagFixture::Rationals(f.tif->ExifIFD, 33434, {1, 200});
  TagFixture::Text(f.tif->GPSIFD, 1, "S");
  EXPECT_EQ(GetTagText(*f.tif, 1, ikInterExif), "");  // no table serves the kind alone
  EXPECT_EQ(GetTagText(*f.tif, 1, ikAll), "R98");
  EXPECT_EQ(GetTagText(*f.tif, 33434, ikExif), "1/200 sec");
  EXPECT_EQ(GetTagText(*f.tif, 33434, ikGps), "");
  EXPECT_EQ(GetTagText(*f.tif, 1, ikGps), "South");
  EXPECT_EQ(GetTagText(*f.tif, 271, ikAll), f.tif->GetMake());
  EXPECT_EQ(GetTagText(*f.tif, 272, ikAll), f.tif->GetModel());
  // Maker-note numbers go through the make's table.
  TagFixture::Text(f.tif->ExifMarkerNotesIFD, 9, "Jane");
  EXPECT_EQ(GetTagText(*f.tif, 9, ikMakerNotes), "Jane");
}

TEST(TagQueriesTest, DirectoryTextUsesTheLastTagOfANumber) {
  TTifIFD directory;
  TagFixture::Shorts(directory, 274, {1});
  TagFixture::Shorts(directory, 274, {3});
  EXPECT_EQ(GetTagText(directory, 274), "Rotated 180\xB0");
  EXPECT_EQ(GetTagText(directory, 256), "");
}

TEST(TagQueriesTest, NikonIsoComesFromTheMakerNoteEvenWhenNotReadYet) {
  TagFixture f;
  f.Camera("NIKON CORPORATION", "NIKON D70");
  TagFixture::Shorts(f.tif->ExifMarkerNotesIFD, 2, {0, 200});
  EXPECT_EQ(GetISO(*f.tif), "200");
  EXPECT_EQ(GetValueByName(*f.tif, "ISO", ikAll), "200");
  EXPECT_EQ(GetValueByName(*f.tif, "isospeedratings", ikAll), "200");
  f.tif->ExifMarkerNotesIFD.Tags.Clear();
  TagFixture::Text(f.tif->ExifMarkerNotesIFD, 2, "AUTO,400");
  EXPECT_EQ(GetISO(*f.tif), "AUTO,400");

  // A reader that has not read its maker note reads it on demand.
  TagFixture later;
  later.Camera("NIKON CORPORATION");
  TagFixture::Bytes(later.tif->ExifIFD, 37500,
                    TiffWriter::EncodeIfd(testing::Order::kIntel, 0, 0,
                                          {{2, {TiffWriter::kShort, {400, 0}}}}));
  later.tif->ByteOrder = tboIntel;
  EXPECT_EQ(GetISO(*later.tif), "400");

  // ISOSpeedRatings wins where it exists.
  TagFixture::Shorts(f.tif->ExifIFD, 34855, {800});
  EXPECT_EQ(GetISO(*f.tif), "800");
  EXPECT_EQ(GetTagText(*f.tif, 34855, ikExif), "800");
}

TEST(TagQueriesTest, CanonIsoIsTheShotInfoItemOfTheListing) {
  TagFixture f("photo.cr2");
  f.Camera("Canon", "Canon EOS 350D DIGITAL");
  TagFixture::Shorts(f.tif->ExifMarkerNotesIFD, 4, {0, 0, 160, 0});
  EXPECT_EQ(GetISO(*f.tif), "100");
  TagFixture other;
  other.Camera("PENTAX");
  EXPECT_EQ(GetISO(*other.tif), "");
}

// A Canon file whose camera settings hold the lens focal range at positions 23 and 24.
TagFixture CanonWithLens(uint16_t shortest, uint16_t longest) {
  TagFixture f("photo.cr2");
  f.Camera("Canon", "Canon EOS 350D DIGITAL");
  TTifTag* settings = TagFixture::Shorts(f.tif->ExifMarkerNotesIFD, 1, {});
  for (int i = 0; i < 25; ++i) {
    const uint16_t v = i == 23 ? longest : i == 24 ? shortest : i == 1 ? 2 : 0;
    settings->DataStream.WriteByte(static_cast<uint8_t>(v & 0xFF));
    settings->DataStream.WriteByte(static_cast<uint8_t>(v >> 8));
  }
  settings->Components = 25;
  return f;
}

TEST(TagQueriesTest, ValuesByName) {
  TagFixture canon = CanonWithLens(18, 55);
  TTif& tif = *canon.tif;
  TagFixture::Shorts(canon.Ifd0(), 274, {6});
  EXPECT_EQ(GetValueByName(tif, "LensShortFocal", ikMakerNotes), "18");
  EXPECT_EQ(GetValueByName(tif, "lenslongfocal", ikMakerNotes), "55");
  EXPECT_EQ(GetValueByName(tif, "MacroMode", ikMakerNotes), "Normal");
  EXPECT_EQ(GetValueByName(tif, "LensShortFocal", ikBase | ikExif), "");
  EXPECT_EQ(GetValueByName(tif, "FocalType", ikMakerNotes), "");  // its parent tag 2 is absent
  EXPECT_EQ(GetValueByName(tif, "ORIENTATION", ikBase), "Counter Clockwise 90\xB0");
  EXPECT_EQ(GetValueByName(tif, "XMPExists", ikAll), "No");
  tif.XMPData.push_back("<x:xmpmeta/>");
  EXPECT_EQ(GetValueByName(tif, "XMPExists", ikAll), "Yes");
  EXPECT_EQ(GetValueByName(tif, "NoSuchName", ikAll), "");
  EXPECT_EQ(GetValueByName(tif, "LensInfo", ikAll), "18-55 mm");
}

TEST(TagQueriesTest, SubValuesAreFoundByTheirLabel) {
  TagFixture f("photo.cr2");
  f.Camera("Canon");
  const TTifTag* focal = TagFixture::Shorts(f.tif->ExifMarkerNotesIFD, 2, {2, 55, 907, 605});
  EXPECT_EQ(GetSubValue(CanonTags, focal, *FindTagEntry(CanonFocalLength, 1)), "55");
  EXPECT_EQ(GetSubValue(CanonTags, focal, *FindTagEntry(CanonFocalLength, 0)), "Zoom");
  EXPECT_EQ(GetSubValue(CanonTags, nullptr, *FindTagEntry(CanonFocalLength, 1)), "");
  EXPECT_EQ(GetSubValue(NikonTags, focal, *FindTagEntry(CanonFocalLength, 1)), "");  // no such item
  EXPECT_EQ(GetSubValue(CanonTags, focal, *FindTagEntry(CanonShotInfo, 2)), "");
}

TEST(TagQueriesTest, LensDescriptions) {
  EXPECT_EQ(GetLensInfo(*CanonWithLens(18, 55).tif), "18-55 mm");
  EXPECT_EQ(GetLensInfo(*CanonWithLens(50, 50).tif), "50-50 mm");
  EXPECT_EQ(GetLensInfo(*CanonWithLens(70, 55).tif), "55-55 mm");  // short above long
  TagFixture no_settings("photo.cr2");
  no_settings.Camera("Canon");
  EXPECT_EQ(GetLensInfo(*no_settings.tif), "");  // not "- mm"

  TagFixture nikon;
  nikon.Camera("NIKON CORPORATION");
  TagFixture::Rationals(nikon.tif->ExifMarkerNotesIFD, 132, {18, 1, 70, 1, 35, 10, 45, 10});
  EXPECT_EQ(GetLensInfo(*nikon.tif), "18-70 mm  F3.5-F4.5");
  EXPECT_EQ(GetValueByName(*nikon.tif, "LensInfo", ikMakerNotes), "18-70 mm  F3.5-F4.5");

  // A DNG of a Nikon camera without DNGLensInfo: the lens row of the maker note, no cycle.
  TagFixture dng("photo.DNG");
  dng.Camera("NIKON CORPORATION");
  EXPECT_EQ(GetValueByName(*dng.tif, "LensInformation", ikAll), "");
  TagFixture::Rationals(dng.tif->ExifMarkerNotesIFD, 132, {12, 1, 24, 1, 4, 1, 4, 1});
  EXPECT_EQ(GetValueByName(*dng.tif, "LensInformation", ikAll), "12-24 mm  F4.0-F4.0");
  TagFixture::Rationals(dng.Ifd0(), 50736, {18, 1, 55, 1, 35, 10, 56, 10});
  EXPECT_EQ(GetLensInfo(*dng.tif), "18-55 mm  F3.5-F5.6");

  TagFixture minolta("photo.mrw");
  minolta.Camera("Konica Minolta Camera, Inc.");
  TTifTag* lens = TagFixture::Shorts(minolta.tif->ExifMarkerNotesIFD, 268, {});
  lens->DataFormat = tdfUnsignedLong;
  lens->SetValue(25501);
  EXPECT_EQ(GetLensInfo(*minolta.tif), "AF50mm F1.7");

  TagFixture olympus;
  olympus.Camera("OLYMPUS OPTICAL CO.,LTD");
  EXPECT_EQ(GetLensInfo(*olympus.tif), "");
}

std::string MinoltaBlock(uint32_t drive_mode) {
  std::string block(4 * 7, '\0');
  block[4 * 6 + 3] = static_cast<char>(drive_mode);
  return block;
}

TEST(TagQueriesTest, MinoltaSettingsByNameComeFromTag3ElseTag1) {
  TagFixture f("photo.mrw");
  f.Camera("Minolta Co., Ltd.");
  EXPECT_EQ(GetValueByName(*f.tif, "DriveMode", ikMakerNotes), "");
  TagFixture::Bytes(f.tif->ExifMarkerNotesIFD, 1, MinoltaBlock(1));
  EXPECT_EQ(GetValueByName(*f.tif, "DriveMode", ikMakerNotes), "Continuous");
  TagFixture::Bytes(f.tif->ExifMarkerNotesIFD, 3, MinoltaBlock(2));
  EXPECT_EQ(GetValueByName(*f.tif, "drivemode", ikMakerNotes), "Self Timer");
  // Names of MinoltaTags itself come first.
  EXPECT_EQ(GetValueByName(*f.tif, "ColorMode", ikMakerNotes), "");
}

TEST(TagQueriesTest, ImageDimensionsFromTagsOrTheCameraTable) {
  auto canon = [](const std::string& model, int orientation) {
    TagFixture f("IMG_0001.CR2");
    f.Camera("Canon", model);
    TagFixture::Shorts(f.Ifd0(), 256, {1536});
    TagFixture::Shorts(f.Ifd0(), 257, {1024});
    if (orientation != 0) TagFixture::Shorts(f.Ifd0(), 274, {static_cast<uint16_t>(orientation)});
    const std::string size = ComputeImgDimensions(*f.tif);
    EXPECT_EQ(f.tif->ImgDimensions, size);
    return size;
  };
  EXPECT_EQ(canon("Canon EOS 5D", 1), "4368x2912");
  EXPECT_EQ(canon("Canon EOS 5D", 6), "2912x4368");
  EXPECT_EQ(canon("Canon EOS 5D", 3), "4368x2912");
  EXPECT_EQ(canon("Canon EOS 5D", 0), "4368x2912");
  EXPECT_EQ(canon("Canon EOS DIGITAL REBEL XTi", 1), "3906x2602");
  EXPECT_EQ(canon("Canon EOS 400D DIGITAL", 8), "2602x3906");
  EXPECT_EQ(canon("Canon EOS-1D Mark IV", 1), "1536x1024");  // not in the table

  TagFixture tiff("scan.tif");
  tiff.Camera("NIKON", "NIKON D70");
  TagFixture::Shorts(tiff.Ifd0(), 256, {640});
  TagFixture::Shorts(tiff.Ifd0(), 257, {480});
  EXPECT_EQ(ComputeImgDimensions(*tiff.tif), "640x480");  // not raw: no table

  TagFixture exif_size("photo.pef");
  exif_size.Camera("PENTAX");
  TagFixture::Shorts(exif_size.tif->ExifIFD, 40962, {3008});
  TagFixture::Shorts(exif_size.tif->ExifIFD, 40963, {2008});
  EXPECT_EQ(ComputeImgDimensions(*exif_size.tif), "3008x2008");

  TagFixture dng("photo.dng");
  dng.Camera("Canon", "Canon EOS 350D");
  TagFixture::Shorts(dng.Ifd0(), 256, {256});
  TTifIFD* raw = dng.Ifd0().SubIFDs.Add();
  TagFixture::Shorts(*raw, 256, {3456});
  TagFixture::Shorts(*raw, 257, {2304});
  EXPECT_EQ(ComputeImgDimensions(*dng.tif), "3456x2304");

  TagFixture jpeg("photo.jpg");
  jpeg.tif->ImgDimensions = "800x600";
  EXPECT_EQ(ComputeImgDimensions(*jpeg.tif), "800x600");
  EXPECT_EQ(GetValueByName(*jpeg.tif, "ImageDimension", ikAll), "800x600");
  TagFixture nothing("photo.nef");
  EXPECT_EQ(ComputeImgDimensions(*nothing.tif), "");
}

TEST(TagQueriesTest, TagPropertiesComeFromTheTablesOfTheirDirectory) {
  TagFixture f;
  f.Camera("Canon");
  const TTifTag* exposure = TagFixture::Rationals(f.tif->ExifIFD, 33434, {1, 200});
  EXPECT_EQ(TagName(*exposure), "ExposureTime");
  EXPECT_EQ(TagDescription(*exposure), "Exposure Time");
  EXPECT_EQ(TagValue(*exposure), "1/200 sec");
  // Maker-note tags are named without the make: Nikon first.
  const TTifTag* note = TagFixture::Text(f.tif->ExifMarkerNotesIFD, 1, "0210");
  EXPECT_EQ(TagName(*note), "FileSystemVersion");
  EXPECT_EQ(TagDescription(*note), "Firmware Version");
  const TTifTag* skip = TagFixture::Text(f.tif->ExifMarkerNotesIFD, 3840, "x");
  EXPECT_EQ(TagName(*skip), "Skip");
  const TTifTag* unknown = TagFixture::Text(f.tif->GPSIFD, 99, "x");
  EXPECT_EQ(TagName(*unknown), "");
  EXPECT_EQ(TagDescription(*unknown), "");
  EXPECT_EQ(TagValue(*unknown), "");
}

// Values read from a file of either byte order show the same dictionary text.
TEST(TagQueriesTest, TagValueOfValuesReadInBothByteOrders) {
  for (Order order : {Order::kIntel, Order::kMotorola}) {
    TiffWriter w(order);
    const int ifd0 = w.NewIfd();
    const int exif = w.NewIfd();
    const int gps = w.NewIfd();
    w.AddPointer(ifd0, 34665, exif);
    w.AddPointer(ifd0, 34853, gps);
    w.Add(ifd0, 50706, TiffWriter::kByte, {1, 1, 0, 0});
    w.AddBytes(exif, 36864, TiffWriter::kUndefined, "0221");
    w.AddBytes(exif, 40960, TiffWriter::kUndefined, "0100");
    w.AddBytes(exif, 37121, TiffWriter::kUndefined, std::string("\x01\x02\x03\x00", 4));
    w.Add(gps, 0, TiffWriter::kByte, {2, 2, 0, 0});
    TempDir dir;
    TTif tif;
    tif.FileName = dir.Write("shot.dng", w.Build());
    tif.Open(false, false);
    const std::string name = order == Order::kIntel ? "Intel" : "Motorola";
    struct Case {
      const TTifIFD& directory;
      int tag;
      std::string shown;
    };
    const Case cases[] = {
        {*tif.IFDs[0], 50706, "1,1,0,0"}, {tif.ExifIFD, 36864, "0221"},
        {tif.ExifIFD, 40960, "0100"},     {tif.ExifIFD, 37121, "YCbCr"},
        {tif.GPSIFD, 0, "2.2.0.0"},
    };
    for (const Case& c : cases) {
      const TTifTag* tag = c.directory.FindTag(c.tag);
      ASSERT_NE(tag, nullptr) << name << " tag " << c.tag;
      EXPECT_EQ(TagValue(*tag), c.shown) << name << " tag " << c.tag;
    }
  }
}

}  // namespace
}  // namespace morvane
