// The JPEG reader through Open: EXIF at offset 6 with the UserComment moved into the EXIF
// directory, dimensions turned by the orientation, Photoshop IPTC, comment, first XMP, first ICC
// chunk; RAF files through their embedded JPEG; damaged files.
#include <gtest/gtest.h>

#include "metadata/comma_text.h"
#include "metadata/tif_reader.h"
#include "platform/errors.h"
#include "support/jpeg_writer.h"
#include "support/samples.h"
#include "support/temp_file.h"
#include "support/tiff_writer.h"

namespace morvane {
namespace {

using testing::ImageResource;
using testing::IptcRecords;
using testing::JpegWriter;
using testing::Order;
using testing::TempDir;
using testing::TiffWriter;

constexpr std::string_view kEmptyUserComment{"ASCII\0\0\0", 8};

// EXIF data: IFD0 with make and, when asked, orientation and a UserComment; an EXIF directory
// with an exposure time and, when asked, its own UserComment.
std::string ExifTiff(Order order, int orientation, const std::string& ifd0_comment,
                     const std::string& exif_comment = "") {
  TiffWriter w(order);
  const int ifd0 = w.NewIfd();
  const int exif = w.NewIfd();
  w.AddAscii(ifd0, 271, "Maker");
  if (orientation > 0) w.Add(ifd0, 274, TiffWriter::kShort, {static_cast<uint64_t>(orientation)});
  if (!ifd0_comment.empty()) w.AddBytes(ifd0, 37510, TiffWriter::kUndefined, ifd0_comment);
  w.AddPointer(ifd0, 34665, exif);
  w.Add(exif, 33434, TiffWriter::kRational, {1, 250});
  if (!exif_comment.empty()) w.AddBytes(exif, 37510, TiffWriter::kUndefined, exif_comment);
  return w.Build();
}

std::unique_ptr<TTif> OpenFile(const TempDir& dir, const std::string& name, const std::string& bytes,
                               bool silent = false) {
  auto tif = std::make_unique<TTif>();
  tif->FileName = dir.Write(name, bytes);
  tif->Open(silent, false);
  return tif;
}

std::string UserCommentBytes(const TTifIFD& directory) {
  const TTifTag* tag = directory.FindTag(37510);
  return tag != nullptr ? std::string(tag->DataStream.View()) : "<none>";
}

TEST(JpegReaderTest, DimensionsTurnWithSidewaysOrientations) {
  const std::pair<int, std::string> cases[] = {
      {0, "3008x2000"}, {1, "3008x2000"}, {3, "3008x2000"}, {5, "2000x3008"},
      {6, "2000x3008"}, {8, "2000x3008"}, {9, "3008x2000"},
  };
  TempDir dir;
  for (const auto& [orientation, dimensions] : cases) {
    const auto tif = OpenFile(
        dir, "a.jpg", JpegWriter().Exif(ExifTiff(Order::kIntel, orientation, "")).Frame(3008, 2000).Build());
    EXPECT_EQ(tif->ImgDimensions, dimensions) << orientation;
  }
}

TEST(JpegReaderTest, UserCommentEndsInTheExifDirectory) {
  TempDir dir;
  {
    const auto tif = OpenFile(dir, "a.jpg", JpegWriter().Exif(ExifTiff(Order::kMotorola, 1, "Hello")).Build());
    ASSERT_TRUE(tif->HasIFDs());
    EXPECT_EQ(tif->IFDs[0]->FindTag(37510), nullptr);
    EXPECT_EQ(UserCommentBytes(tif->ExifIFD), std::string(kEmptyUserComment) + std::string("Hello\0", 6));
    EXPECT_EQ(tif->ExifIFD.FindTag(37510)->DataFormat, tdfUndefined);
    EXPECT_EQ(tif->ExifIFD.FindTag(33434)->RawTagValue(), "1/250");
  }
  {
    const auto tif = OpenFile(dir, "a.jpg", JpegWriter().Exif(ExifTiff(Order::kIntel, 1, "")).Build());
    EXPECT_EQ(UserCommentBytes(tif->ExifIFD), kEmptyUserComment);
  }
  {
    // The EXIF directory's own comment stays; the one in IFD0 is dropped.
    const auto tif = OpenFile(dir, "a.jpg", JpegWriter().Exif(ExifTiff(Order::kIntel, 1, "ifd0", "exif")).Build());
    EXPECT_EQ(tif->IFDs[0]->FindTag(37510), nullptr);
    EXPECT_EQ(tif->ExifIFD.FindTag(37510)->GetValue().AsText(), std::string(kEmptyUserComment) + "exif");
  }
}

TEST(JpegReaderTest, ReadsPhotoshopCommentFirstXmpAndFirstIccChunk) {
  const std::string resources =
      ImageResource(1028, "", IptcRecords({{25, "Alps"}, {25, "Mont Blanc"}, {25, "Snow"}, {120, "Caption"}}));
  const std::string chunk1(200, 'a'), chunk2(200, 'b');
  const std::string jpeg = JpegWriter()
                               .Jfif()
                               .Exif(ExifTiff(Order::kIntel, 1, ""))
                               .Xmp("<first/>\n<line2/>")
                               .Xmp("<second/>")
                               .IccChunk(1, 3, chunk1)
                               .IccChunk(2, 3, chunk2)
                               .IccChunk(3, 3, "c")
                               .Photoshop(resources)
                               .Comment("A comment")
                               .Comment("Another")
                               .Frame(640, 480)
                               .Build();
  TempDir dir;
  dir.Write("a.xmp", "<sidecar/>");
  const auto tif = OpenFile(dir, "a.jpg", jpeg);

  EXPECT_EQ(tif->XMPData, (std::vector<std::string>{"<first/>", "<line2/>"}));
  EXPECT_EQ(tif->GetJpgComment(), "A comment");
  const TTifTag* icc = tif->FindTag(34675, ikAll);
  ASSERT_NE(icc, nullptr);
  EXPECT_EQ(icc->DataStream.View(), chunk1);
  EXPECT_EQ(icc->Components, 200);
  const TTifTag* keywords = tif->IPTCIFD.FindTag(25);
  ASSERT_NE(keywords, nullptr);
  EXPECT_EQ(keywords->GetValue().AsText(), "Alps,\"Mont Blanc\",Snow");
  EXPECT_EQ(tif->IPTCIFD.FindTag(120)->GetValue().AsText(), "Caption");
  EXPECT_EQ(tif->IPTCResources.Count(), 1);
  EXPECT_TRUE(tif->HasIPTC());
  EXPECT_EQ(tif->ImgDimensions, "640x480");
}

TEST(JpegReaderTest, RejectsStreamsWithoutStartOfImage) {
  TTif tif;
  TMemoryStream stream(std::string("\xFF\xD9\xFF\xE1", 4));
  try {
    tif.ReadJpeg(stream, false);
    FAIL() << "no failure";
  } catch (const EMorvaneError& e) {
    EXPECT_STREQ(e.what(), "Invalid JPG file.");
  }
}

TEST(JpegReaderTest, RafFilesAreReadThroughTheirJpeg) {
  const std::string jpeg = JpegWriter().Exif(ExifTiff(Order::kMotorola, 6, "")).Frame(4256, 2848).Build();
  TempDir dir;
  const auto tif = OpenFile(dir, "a.raf", "FUJIFILMCCD-RAW 0201FF383501" + std::string(60, '\0') + jpeg);
  EXPECT_EQ(tif->GetMake(), "Maker");
  EXPECT_EQ(tif->ImgDimensions, "2848x4256");
  EXPECT_EQ(tif->ByteOrder, tboMotorola);
}

// A segment that runs past the end fails the read unless silent; silent keeps what came before
// (nothing of the segments, as they are handed on only after the whole walk).
TEST(JpegReaderTest, TruncatedSegmentFailsTheRead) {
  std::string jpeg = JpegWriter().Exif(ExifTiff(Order::kIntel, 1, "")).Comment("text").Build();
  jpeg.resize(jpeg.find("text") + 2);
  TempDir dir;
  TTif tif;
  tif.FileName = dir.Write("a.jpg", jpeg);
  EXPECT_THROW(tif.Open(false, false), EReadError);
  EXPECT_NO_THROW(tif.Open(true, false));
  EXPECT_FALSE(tif.HasIFDs());
}

// Every cut and a sweep of byte changes of a full JPEG end quickly and inside the bytes.
TEST(JpegReaderTest, DamagedFilesEndQuietly) {
  const std::string resources = ImageResource(1028, "", IptcRecords({{25, "Alps"}, {80, "Me"}})) +
                                ImageResource(1039, "", std::string(16, 'p'));
  const std::string jpeg = JpegWriter()
                               .Exif(ExifTiff(Order::kMotorola, 6, "Hello", "World"))
                               .Xmp("<x/>")
                               .IccChunk(1, 1, std::string(20, 'i'))
                               .Photoshop(resources)
                               .Comment("c")
                               .Frame(10, 20)
                               .Build();
  const auto read = [](const std::string& bytes) {
    TTif tif;
    tif.FileName = "a.jpg";
    TMemoryStream stream(bytes);
    try {
      tif.ReadJpeg(stream, false);
    } catch (const EMorvaneError&) {
    }
    EXPECT_LE(tif.Work.Directories, kMaxDirectoriesPerWalk);
    EXPECT_LE(tif.Work.ValueBytes, TWalkBudget(static_cast<int64_t>(bytes.size())).value_bytes);
  };
  for (size_t cut = 0; cut <= jpeg.size(); ++cut) read(jpeg.substr(0, cut));
  for (size_t at = 2; at < jpeg.size(); ++at) {
    for (const char value : {'\x00', '\xFF', '\x7F'}) {
      std::string damaged = jpeg;
      damaged[at] = value;
      read(damaged);
    }
  }
}

TEST(JpegReaderTest, RealCameraJpegs) {
  const struct {
    const char* file;
    const char* make;
    const char* model;
    const char* date;
  } cases[] = {
      {"Canon.jpg", "Canon", "Canon EOS DIGITAL REBEL", "2003:12:04 06:46:52"},
      {"Nikon.jpg", "NIKON", "E775", "2001:08:01 12:57:23"},
      {"FujiFilm.raf", "FUJIFILM", "FinePix S5Pro  ", "2007:05:22 13:58:30"},
  };
  for (const auto& c : cases) {
    MORVANE_REQUIRE_SAMPLE(path, c.file);
    TTif tif;
    tif.FileName = path;
    tif.Open(false, false);
    EXPECT_EQ(tif.GetMake(), c.make);
    EXPECT_EQ(tif.GetModel(), c.model);
    const TTifTag* date = tif.FindTag(36867, ikAll);
    ASSERT_NE(date, nullptr) << c.file;
    EXPECT_EQ(date->GetValue().AsText(), c.date);
  }
}

TEST(JpegReaderTest, RealIptcRecords) {
  MORVANE_REQUIRE_SAMPLE(path, "IPTC.jpg");
  TTif tif;
  tif.FileName = path;
  tif.Open(false, false);
  EXPECT_EQ(ReadCommaText(tif.IPTCIFD.FindTag(25)->GetValue().AsText()),
            (std::vector<std::string>{"ExifTool", "Test", "IPTC"}));
  EXPECT_EQ(tif.IPTCIFD.FindTag(120)->GetValue().AsText(), "A witty caption");
}

}  // namespace
}  // namespace morvane
