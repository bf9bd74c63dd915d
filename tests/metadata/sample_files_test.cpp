// The reader on real camera files: directories found and raw values as other tools report them.
#include <gtest/gtest.h>

#include "metadata/tif_reader.h"
#include "support/samples.h"

namespace morvane {
namespace {

struct SampleCase {
  const char* file;
  TTifByteOrder order;
  int main_chain;
  int sub_ifds;  // of IFD0
  const char* make;
  const char* model;
  const char* exposure;  // raw value of ExposureTime
  const char* makernote_type;
  int makernote_tags;
};

TEST(SampleFilesTest, RawFilesReadAsOtherToolsReport) {
  const SampleCase cases[] = {
      {"Nikon.nef", tboIntel, 1, 2, "NIKON CORPORATION", "NIKON D70", "1/20", "3", 40},
      {"CanonRaw.cr2", tboIntel, 4, 0, "Canon", "Canon EOS 350D DIGITAL", "1/15", "", 25},
      {"DNG.dng", tboMotorola, 1, 3, "Canon", "Canon EOS 350D DIGITAL", "1/15", "", -1},
      {"Minolta.mrw", tboMotorola, 1, 0, "Konica Minolta Camera, Inc.", "DiMAGE A2", "1/5", "5", 12},
  };
  for (const SampleCase& c : cases) {
    MORVANE_REQUIRE_SAMPLE(path, c.file);
    TTif tif;
    tif.FileName = path;
    tif.Open(false, false);
    SCOPED_TRACE(c.file);
    EXPECT_EQ(tif.ByteOrder, c.order);
    EXPECT_EQ(tif.IFDs.Count(), c.main_chain);
    ASSERT_TRUE(tif.HasIFDs());
    EXPECT_EQ(tif.IFDs[0]->SubIFDs.Count(), c.sub_ifds);
    EXPECT_EQ(tif.GetMake(), c.make);
    EXPECT_EQ(tif.GetModel(), c.model);
    ASSERT_NE(tif.FindTag(33434, ikExif), nullptr);
    EXPECT_EQ(tif.FindTag(33434, ikExif)->RawTagValue(), c.exposure);
    EXPECT_EQ(tif.ExifMarkerNotesIFD.IFDType, c.makernote_type);
    if (c.makernote_tags >= 0) {
      EXPECT_EQ(tif.ExifMarkerNotesIFD.Tags.Count(), c.makernote_tags);
    }
  }
}

TEST(SampleFilesTest, NikonMakerNoteValues) {
  MORVANE_REQUIRE_SAMPLE(path, "Nikon.nef");
  TTif tif;
  tif.FileName = path;
  tif.Open(false, false);
  const TTifIFD& notes = tif.ExifMarkerNotesIFD;
  EXPECT_EQ(notes.FindTag(1)->RawTagValue(), "0210");
  EXPECT_EQ(notes.FindTag(2)->RawTagValue(), "0,200");
  EXPECT_EQ(notes.FindTag(132)->RawTagValue(), "18/1,70/1,35/10,45/10");
  EXPECT_EQ(tif.FindTag(37386, ikExif)->RawTagValue(), "18");
  EXPECT_EQ(tif.FindTag(33437, ikExif)->RawTagValue(), "35/10");
}

TEST(SampleFilesTest, EveryFileOpensSilentlyWithinItsBytes) {
  for (const char* name : {"Nikon.nef", "CanonRaw.cr2", "CanonRaw.crw", "DNG.dng", "Minolta.mrw", "FujiFilm.raf",
                           "Sigma.x3f", "SigmaDP2.x3f", "KyoceraRaw.raw", "Photoshop.psd", "PSP.psp",
                           "ExifTool.tif", "GeoTiff.tif", "Canon.jpg", "Nikon.jpg", "IPTC.jpg", "XMP.jpg"}) {
    const std::string path = testing::SamplePath(name);
    if (!FileExists(path)) continue;
    TTif tif;
    tif.FileName = path;
    EXPECT_NO_THROW(tif.Open(true, false)) << name;
    TTif quick;
    quick.FileName = path;
    quick.MaxValueSize = 512;
    EXPECT_NO_THROW(quick.Open(true, true)) << name;
  }
}

}  // namespace
}  // namespace morvane
