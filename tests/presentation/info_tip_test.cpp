// The summary and the info tip: line rules, the lens line, type and size lines, file sizes.
#include "presentation/info_tip.h"

#include <gtest/gtest.h>

#include "metadata/tif_reader.h"
#include "platform/regional.h"
#include "support/sample_nef.h"
#include "support/samples.h"
#include "support/temp_file.h"
#include "support/tiff_writer.h"

namespace morvane {
namespace {

using testing::TempDir;
using testing::TiffWriter;

class InfoTipTest : public ::testing::Test {
 protected:
  void SetUp() override { SetRegionalSettings({'.', ',', ':'}); }
  void TearDown() override { ResetRegionalSettings(); }
  TempDir dir_;
};

// The tip without its size line, whose figure depends on the fixture's byte count.
std::string WithoutSize(const std::string& tip) { return tip.substr(0, tip.rfind("\r\nSize: ")); }

TEST_F(InfoTipTest, NikonWithMakerNoteLens) {
  const std::string path = dir_.Write("d70.nef", testing::BuildSampleNef());
  EXPECT_EQ(WithoutSize(ComposeInfoTip(path)),
            "NIKON CORPORATION-NIKON D70\r\nDate: 2005:07:01\r\nFocal Length: 18.00 mm\r\nF-Number: F3.5\r\n"
            "Exposure Time: 1/60 sec\r\nISO: 200\r\nFlash: No Flash\r\nLens information: 18-70 mm  F3.5-F4.5\r\n"
            "\r\nType: NEF file");
  TTif tif;
  tif.FileName = path;
  tif.Open(true, false);
  EXPECT_EQ(GetSummary(tif, ", ", false),
            "NIKON CORPORATION-NIKON D70, 2005:07:01, 18.00 mm, F3.5, 1/60 sec, ISO-200, Flash-No Flash");
}

TEST_F(InfoTipTest, LineRules) {
  struct Case {
    const char* name;
    std::function<void(TiffWriter&, int ifd0, int exif)> fill;
    const char* expected;
  };
  const Case cases[] = {
      {"no make or model, a date",
       [](TiffWriter& w, int ifd0, int) { w.AddAscii(ifd0, 306, "2006:01:02 03:04:05"); },
       "Date: 2006:01:02\r\n\r\nType: TIF file"},
      {"a make but no model", [](TiffWriter& w, int ifd0, int) { w.AddAscii(ifd0, 271, " PENTAX "); },
       "PENTAX-\r\n\r\nType: TIF file"},
      {"an ISO that cannot be found", [](TiffWriter& w, int ifd0, int exif) {
         w.AddAscii(ifd0, 271, "NIKON");
         w.Add(exif, 37385, TiffWriter::kShort, {25});
       },
       "NIKON-\r\nFlash: Auto; Fired\r\n\r\nType: TIF file"},
      {"a DNG lens range", [](TiffWriter& w, int ifd0, int) {
         w.AddAscii(ifd0, 271, "Canon");
         w.Add(ifd0, 50736, TiffWriter::kRational, {17, 1, 40, 1, 4, 1, 4, 1});
       },
       "Canon-\r\nLens information: 17-40 mm  F4.0-F4.0\r\n\r\nType: TIF file"},
      {"a Canon without its focal settings: no lens line",
       [](TiffWriter& w, int ifd0, int) { w.AddAscii(ifd0, 271, "Canon"); }, "Canon-\r\n\r\nType: TIF file"},
  };
  for (const Case& c : cases) {
    TiffWriter w;
    const int ifd0 = w.NewIfd();
    const int exif = w.NewIfd();
    w.AddPointer(ifd0, 34665, exif);
    c.fill(w, ifd0, exif);
    EXPECT_EQ(WithoutSize(ComposeInfoTip(dir_.Write("case.tif", w.Build()))), c.expected) << c.name;
  }
}

TEST_F(InfoTipTest, FilesWithoutExifTypeAndSize) {
  EXPECT_EQ(ComposeInfoTip(dir_.Write("plain.jpg", std::string(1536, 'x'))),
            "no exif available\r\n\r\nType: JPG file\r\nSize: 1.5 KB");
  EXPECT_EQ(WithoutSize(ComposeInfoTip(dir_.Write("photo.thm.cr2", "abc"))), "no exif available\r\n\r\nType: CR2 file");
  EXPECT_EQ(WithoutSize(ComposeInfoTip(dir_.Write("noext", "abc"))), "no exif available\r\n\r\nType:  file");
  // The type is text of the code page, whatever form the path's letters have on disk.
  EXPECT_EQ(WithoutSize(ComposeInfoTip(dir_.Write("photo.n\xC3\xA9" "f\xE5\x86\x99", "abc"))),
            "no exif available\r\n\r\nType: N\xC9" "F? file");
  EXPECT_EQ(ComposeInfoTip(dir_.Path() + "/missing.nef"), "no exif available\r\n\r\nType: NEF file\r\nSize: 0");
}

TEST_F(InfoTipTest, ThmSidecarCarriesTheMetadata) {
  dir_.Write("IMG_0001.THM", testing::BuildSampleNef());
  const std::string crw = dir_.Write("IMG_0001.CRW", std::string(2048, '\0'));
  const std::string tip = ComposeInfoTip(crw);
  EXPECT_EQ(tip.substr(0, tip.find("\r\n")), "NIKON CORPORATION-NIKON D70");
  EXPECT_NE(tip.find("Type: CRW file\r\nSize: 2 KB"), std::string::npos);  // the size of the file itself
}

TEST_F(InfoTipTest, FormatFileSize) {
  const std::pair<int64_t, const char*> cases[] = {
      {0, "0"},           {1000, "1,000"},          {1024, "1,024"},        {1025, "1 KB"},
      {1536, "1.5 KB"},   {1280, "1.3 KB"},         {1048576, "1,024 KB"},  {1048577, "1 MB"},
      {12897485, "12.3 MB"}, {1073741825, "1 GB"},  {5368709120, "5 GB"},   {int64_t{3} << 40, "3,072 GB"},
      {-5, "-5"},
  };
  for (const auto& [size, text] : cases) EXPECT_EQ(FormatFileSize(0, true, size), text) << size;
  EXPECT_EQ(FormatFileSize(2, false, 1536), "1.5");
  SetRegionalSettings({',', '.', ':'});
  EXPECT_EQ(FormatFileSize(0, true, 1536), "1,5 KB");
  EXPECT_EQ(FormatFileSize(0, true, 1000), "1.000");
}

TEST_F(InfoTipTest, RealCameraFiles) {
  const std::pair<const char*, const char*> cases[] = {
      {"Nikon.nef",
       "NIKON CORPORATION-NIKON D70\r\nDate: 2005:08:25\r\nFocal Length: 18.00 mm\r\nF-Number: F3.5\r\n"
       "Exposure Time: 1/20 sec\r\nISO: 200\r\nFlash: No Flash\r\nLens information: 18-70 mm  F3.5-F4.5\r\n\r\n"
       "Type: NEF file\r\nSize: 6 KB"},
      {"CanonRaw.cr2",
       "Canon-Canon EOS 350D DIGITAL\r\nDate: 2005:08:03\r\nFocal Length: 55.00 mm\r\nF-Number: F8.0\r\n"
       "Exposure Time: 1/15 sec\r\nISO: 400\r\nFlash: Off\r\n\r\nType: CR2 file\r\nSize: 8.5 KB"},
      {"DNG.dng",
       "Canon-Canon EOS 350D DIGITAL\r\nDate: 2005:08:03\r\nFocal Length: 55.00 mm\r\nF-Number: F8.0\r\n"
       "Exposure Time: 1/15 sec\r\nISO: 400\r\nFlash: Off\r\nLens information: 18-55 mm  F0.0-F0.0\r\n\r\n"
       "Type: DNG file\r\nSize: 13.3 KB"},
  };
  for (const auto& [name, expected] : cases) {
    MORVANE_REQUIRE_SAMPLE(path, name);
    EXPECT_EQ(ComposeInfoTip(path), expected) << name;
  }
}

}  // namespace
}  // namespace morvane
