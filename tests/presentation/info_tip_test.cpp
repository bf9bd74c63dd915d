// The summary and the info-tip text of an opened file, and the file-size text.
#include "presentation/info_tip.h"

#include <gtest/gtest.h>

#include "metadata/tif_reader.h"
#include "platform/regional.h"
#include "support/regional_test.h"
#include "support/sample_nef.h"

namespace morvane {
namespace {


using InfoTipTest = testing::EnglishRegionalTest;

TEST_F(InfoTipTest, SummaryWithShortPrefixes) {
  const std::string path = dir_.Write("d70.nef", testing::BuildSampleNef());
  TTif tif;
  tif.FileName = path;
  tif.Open(true, false);
  EXPECT_EQ(GetSummary(tif, ", ", false),
            "NIKON CORPORATION-NIKON D70, 2005:07:01, 18.00 mm, F3.5, 1/60 sec, ISO-200, Flash-No Flash");
}

// The composer writes the type and size it is given; it reads no file of its own.
TEST_F(InfoTipTest, TextOfAnOpenedFile) {
  TTif empty;
  empty.FileName = dir_.Path() + "/missing.nef";
  EXPECT_EQ(InfoTipText(empty, "CR2", 1536), "no exif available\r\n\r\nType: CR2 file\r\nSize: 1.5 KB");
  TTif nikon;
  nikon.FileName = dir_.Write("d70.nef", testing::BuildSampleNef());
  nikon.Open(true, false);
  EXPECT_EQ(InfoTipText(nikon, "NEF", 0),
            "NIKON CORPORATION-NIKON D70\r\nDate: 2005:07:01\r\nFocal Length: 18.00 mm\r\nF-Number: F3.5\r\n"
            "Exposure Time: 1/60 sec\r\nISO: 200\r\nFlash: No Flash\r\nLens information: 18-70 mm  F3.5-F4.5\r\n"
            "\r\nType: NEF file\r\nSize: 0");
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

}  // namespace
}  // namespace morvane
