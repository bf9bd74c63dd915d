// The info-tip request: line rules, the lens line, type and size lines, the sidecar, real files.
#include "shellext/info_tip_request.h"

#include <gtest/gtest.h>

#include "platform/regional.h"
#include "support/regional_test.h"
#include "support/sample_nef.h"
#include "support/samples.h"
#include "support/tiff_writer.h"

namespace morvane {
namespace {

using testing::TiffWriter;

using InfoTipRequestTest = testing::EnglishRegionalTest;

// The tip without its size line, whose figure depends on the fixture's byte count.
std::string WithoutSize(const std::string& tip) { return tip.substr(0, tip.rfind("\r\nSize: ")); }

TEST_F(InfoTipRequestTest, NikonWithMakerNoteLens) {
  const std::string path = dir_.Write("d70.nef", testing::BuildSampleNef());
  EXPECT_EQ(WithoutSize(ComposeInfoTip(path)),
            "NIKON CORPORATION-NIKON D70\r\nDate: 2005:07:01\r\nFocal Length: 18.00 mm\r\nF-Number: F3.5\r\n"
            "Exposure Time: 1/60 sec\r\nISO: 200\r\nFlash: No Flash\r\nLens information: 18-70 mm  F3.5-F4.5\r\n"
            "\r\nType: NEF file");
}

TEST_F(InfoTipRequestTest, LineRules) {
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

TEST_F(InfoTipRequestTest, FilesWithoutExifTypeAndSize) {
  EXPECT_EQ(ComposeInfoTip(dir_.Write("plain.jpg", std::string(1536, 'x'))),
            "no exif available\r\n\r\nType: JPG file\r\nSize: 1.5 KB");
  EXPECT_EQ(WithoutSize(ComposeInfoTip(dir_.Write("photo.thm.cr2", "abc"))), "no exif available\r\n\r\nType: CR2 file");
  EXPECT_EQ(WithoutSize(ComposeInfoTip(dir_.Write("noext", "abc"))), "no exif available\r\n\r\nType:  file");
  // The type is text of the code page, whatever form the path's letters have on disk.
  EXPECT_EQ(WithoutSize(ComposeInfoTip(dir_.Write("photo.n\xC3\xA9" "f\xE5\x86\x99", "abc"))),
            "no exif available\r\n\r\nType: N\xC9" "F? file");
  EXPECT_EQ(ComposeInfoTip(dir_.Path() + "/missing.nef"), "no exif available\r\n\r\nType: NEF file\r\nSize: 0");
}

TEST_F(InfoTipRequestTest, ThmSidecarCarriesTheMetadata) {
  dir_.Write("IMG_0001.THM", testing::BuildSampleNef());
  const std::string crw = dir_.Write("IMG_0001.CRW", std::string(2048, '\0'));
  const std::string tip = ComposeInfoTip(crw);
  EXPECT_EQ(tip.substr(0, tip.find("\r\n")), "NIKON CORPORATION-NIKON D70");
  EXPECT_NE(tip.find("Type: CRW file\r\nSize: 2 KB"), std::string::npos);  // the size of the file itself
}

TEST_F(InfoTipRequestTest, RealCameraFiles) {
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
