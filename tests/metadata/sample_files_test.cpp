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
      {"DNG.dng", tboMotorola, 1, 3, "Canon", "Canon EOS 350D DIGITAL", "1/15", "", 24},
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

// Values as a peer metadata tool reads them from the same files: arrays of big-endian files in
// stored order, texts to their first zero, Fuji and Sanyo values from their notes' bases,
// today's Olympus sections, and the maker note a DNG keeps of its original raw.
TEST(SampleFilesTest, ValuesAsThePeerToolReadsThem) {
  struct Case {
    const char* file;
    const char* directory;  // "Base", "Exif", "MakerNotes", "Sub0" of IFD0, "MakerNotes.Sub0"...
    int tag;
    std::string raw;
    bool whole = true;  // false: the value starts with `raw`
  };
  const Case cases[] = {
      {"DNG.dng", "Base", 50706, "1,1,0,0"},
      {"DNG.dng", "Exif", 36864, "0221"},
      {"DNG.dng", "Sub0", 256, "3516"},
      {"DNG.dng", "Sub0", 50829, "14,42,2328,3516"},
      {"DNG.dng", "Sub0", 33421, "2,2"},
      {"DNG.dng", "MakerNotes", 9, "unknown"},
      {"DNG.dng", "MakerNotes", 12, "12345678"},
      {"Minolta.mrw", "Exif", 36864, "0221"},
      {"Minolta.mrw", "Exif", 37396, "1632,1224,320,384"},
      {"NikonD70.jpg", "Exif", 40960, "0100"},
      {"NikonD70.jpg", "Exif", 37121, std::string("\x01\x02\x03\x00", 4)},
      {"NikonD70.jpg", "MakerNotes", 2, "0,200"},
      {"NikonD70.jpg", "MakerNotes", 22, "0,0,3008,2000"},
      {"GeoTiff.tif", "Base", 320, "65535,64923,64312,", false},
      {"CanonRaw.cr2", "MakerNotes", 9, "unknown"},
      {"FujiFilm.jpg", "MakerNotes", 4096, "NORMAL "},
      {"FujiFilm.jpg", "MakerNotes", 4113, "0/10"},
      {"FujiFilm.raf", "MakerNotes", 16, "FPX20582698 592D313134360702198C0020100A84"},
      {"Sanyo.jpg", "MakerNotes", 512, "0,0,0"},
      {"Olympus2.jpg", "MakerNotes.Sub0", 257, "C90500055                      "},
      {"Olympus2.jpg", "MakerNotes.Sub1", 512, "2"},
      {"OlympusE1.jpg", "MakerNotes.Sub0", 514, "050105886"},
      {"OlympusE1.jpg", "MakerNotes.Sub0", 520, "54"},
  };
  for (const Case& c : cases) {
    MORVANE_REQUIRE_SAMPLE(path, c.file);
    TTif tif;
    tif.FileName = path;
    tif.Open(false, false);
    SCOPED_TRACE(std::string(c.file) + " " + c.directory + " " + std::to_string(c.tag));
    const std::string where = c.directory;
    const TTifIFD* directory = nullptr;
    if (where == "Base") directory = tif.IFDs[0];
    if (where == "Exif") directory = &tif.ExifIFD;
    if (where == "MakerNotes") directory = &tif.ExifMarkerNotesIFD;
    if (where == "Sub0" && !tif.IFDs[0]->SubIFDs.Empty()) directory = tif.IFDs[0]->SubIFDs[0];
    const auto& sections = tif.ExifMarkerNotesIFD.SubIFDs;
    if (where == "MakerNotes.Sub0" && sections.Count() > 0) directory = sections[0];
    if (where == "MakerNotes.Sub1" && sections.Count() > 1) directory = sections[1];
    ASSERT_NE(directory, nullptr);
    const TTifTag* tag = directory->FindTag(c.tag);
    ASSERT_NE(tag, nullptr);
    if (c.whole) {
      EXPECT_EQ(tag->RawTagValue(), c.raw);
    } else {
      EXPECT_EQ(tag->RawTagValue().rfind(c.raw, 0), 0u) << tag->RawTagValue().substr(0, 40);
    }
  }
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

namespace morvane {
namespace {

// Raw types of recent cameras: RW2's EXIF and maker notes come from the JPEG of its JpgFromRaw
// tag; IIQ is a plain TIFF around its maker's own directory.
TEST(SampleFilesTest, RecentRawTypesAsThePeerToolReadsThem) {
  struct Case {
    const char* file;
    const char* make;
    const char* model;
    int kinds;
    int tag;
    const char* raw;
  };
  const Case cases[] = {
      {"Panasonic.rw2", "Panasonic", "DMC-LX3", ikBase, 0x0017, "80"},        // ISO of the raw's IFD0
      {"Panasonic.rw2", "Panasonic", "DMC-LX3", ikExif, 33434, "1/250"},
      {"Panasonic.rw2", "Panasonic", "DMC-LX3", ikExif, 34855, "80"},          // only the JPEG's EXIF has it
      {"Panasonic.rw2", "Panasonic", "DMC-LX3", ikBase, 306, "2008:08:06 15:21:56"},
      {"Panasonic.rw2", "Panasonic", "DMC-LX3", ikExif, 36867, "2008:08:06 15:21:56"},
      {"Panasonic.rw2", "Panasonic", "DMC-LX3", ikMakerNotes, 0x8000, "0130"},
      {"PhaseOne.iiq", "Leaf", "Credo 40", ikExif, 33434, "1/1250"},
      {"PhaseOne.iiq", "Leaf", "Credo 40", ikExif, 34855, "100"},
  };
  for (const Case& c : cases) {
    MORVANE_REQUIRE_SAMPLE(path, c.file);
    SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.tag));
    TTif tif;
    tif.FileName = path;
    tif.Open(false, false);
    EXPECT_EQ(tif.GetMake(), c.make);
    EXPECT_EQ(tif.GetModel(), c.model);
    const TTifTag* tag = tif.FindTag(c.tag, c.kinds);
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(tag->RawTagValue(), c.raw);
  }
}

}  // namespace
}  // namespace morvane
