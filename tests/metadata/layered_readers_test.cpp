// The PSD and PSP readers: a PSD file's image resources (IPTC, EXIF without its thumbnail, XMP,
// ICC profile), and a PSP file's EXIF block with its shifted value offsets, also in files
// shorter than the value copy.
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

using testing::EncodeNumber;
using testing::ImageResource;
using testing::IptcRecords;
using testing::Order;
using testing::TempDir;
using testing::TiffWriter;

std::string Be32(uint32_t value) { return EncodeNumber(Order::kMotorola, value, 4); }

// EXIF data with an IFD1 thumbnail.
std::string ExifWithThumbnail() {
  TiffWriter w(Order::kMotorola);
  const int ifd0 = w.NewIfd();
  const int ifd1 = w.NewIfd();
  w.AddAscii(ifd0, 271, "Adobe");
  w.SetNext(ifd0, ifd1);
  w.AddBlob(ifd1, 513, 514, "\xFF\xD8\xFF\xD9");
  return w.Build();
}

// Reads `bytes` as the reader Open picks for them would, keeping what was read before a failure.
void ReadQuietly(const std::string& name, const std::string& bytes) {
  TTif tif;
  tif.FileName = name;
  TMemoryStream stream(bytes);
  try {
    if (bytes.substr(0, 2) == "8B") {
      tif.ReadPsd(stream);
    } else {
      tif.ReadPsp(stream, false);
    }
  } catch (const EMorvaneError&) {
  }
}

std::unique_ptr<TTif> OpenFile(const TempDir& dir, const std::string& name, const std::string& bytes,
                               bool silent = false) {
  auto tif = std::make_unique<TTif>();
  tif->FileName = dir.Write(name, bytes);
  tif->Open(silent, false);
  return tif;
}

TEST(PsdReaderTest, ReadsTheImageResources) {
  const std::string resources =
      ImageResource(1005, "", std::string(16, 'r')) +
      ImageResource(1028, "", IptcRecords({{25, "Alps"}, {25, "Mont Blanc"}, {120, "Caption"}})) +
      ImageResource(1058, "", ExifWithThumbnail()) + ImageResource(1060, "", "<x>\n</x>") +
      ImageResource(1039, "", std::string(41, 'c'));
  TempDir dir;
  const auto tif = OpenFile(dir, "a.psd", testing::PsdFile(resources));
  EXPECT_EQ(tif->ByteOrder, tboMotorola);
  EXPECT_EQ(tif->IPTCResources.Count(), 5);
  EXPECT_EQ(tif->IPTCIFD.FindTag(25)->GetValue().AsText(), "Alps,\"Mont Blanc\"");
  EXPECT_EQ(tif->GetMake(), "Adobe");
  EXPECT_EQ(tif->GetThumbnailStream(), nullptr);
  EXPECT_EQ(tif->XMPData, (std::vector<std::string>{"<x>", "</x>"}));
  const TTifTag* icc = tif->FindTag(34675, ikAll);
  ASSERT_NE(icc, nullptr);
  EXPECT_EQ(icc->DataFormat, tdfUnknown);
  EXPECT_EQ(icc->DataStream.Size(), 42);  // the odd size padded
  EXPECT_EQ(icc->Components, 42);

  // EXIF in the resources is read only for Photoshop-style extensions.
  const auto other = OpenFile(dir, "a.dat", testing::PsdFile(resources));
  EXPECT_EQ(other->GetMake(), "");
  EXPECT_EQ(other->IPTCIFD.FindTag(120)->GetValue().AsText(), "Caption");
}

TEST(PsdReaderTest, DamagedFiles) {
  TempDir dir;
  EXPECT_EQ(OpenFile(dir, "a.psd", testing::PsdFile(""))->ByteOrder, tboMotorola);
  // Colour-mode data longer than the file: the section length cannot be read.
  std::string bytes = testing::PsdFile(ImageResource(1028, "", IptcRecords({{120, "x"}})));
  bytes.replace(26, 4, Be32(0x7FFFFFFF));
  TTif tif;
  tif.FileName = dir.Write("b.psd", bytes);
  EXPECT_THROW(tif.Open(false, false), EReadError);
  EXPECT_NO_THROW(tif.Open(true, false));
  EXPECT_EQ(tif.ByteOrder, tboMotorola);
  // Every cut of a file with resources ends quietly.
  const std::string full = testing::PsdFile(ImageResource(1028, "", IptcRecords({{25, "Alps"}})) +
                                   ImageResource(1058, "", ExifWithThumbnail()));
  for (size_t cut = 8; cut <= full.size(); ++cut) ReadQuietly("c.psd", full.substr(0, cut));
}

// A PSP file: the EXIF block's entries count from the TIFF header, its values from 8 bytes
// further on.
std::string PspFile(const std::string& make, size_t padding) {
  TiffWriter w(Order::kIntel);
  const int ifd0 = w.NewIfd();
  w.AddAscii(ifd0, 271, make);
  w.Add(ifd0, 274, TiffWriter::kShort, {6});
  const std::string tiff = w.Build();
  std::string psp = std::string("Paint Shop Pro Image File\n\x1A\0\0\0\0\0", 32) + std::string(padding, '~') +
                    std::string("Exif\0\0", 6);
  const size_t base = psp.size();
  psp += tiff;
  const size_t value_at = base + tiff.find(make) + 8;
  if (psp.size() < value_at + make.size() + 1) psp.resize(value_at + make.size() + 1, '\0');
  psp.replace(value_at, make.size() + 1, make + '\0');
  return psp;
}

TEST(PspReaderTest, ReadsTheExifBlockWithShiftedValueOffsets) {
  TempDir dir;
  const auto tif = OpenFile(dir, "a.psp", PspFile("Paint Maker", 100));
  EXPECT_EQ(tif->GetMake(), "Paint Maker");
  EXPECT_EQ(tif->FindTag(274, ikAll)->GetValue().AsText(), "6");
  EXPECT_EQ(tif->ByteOrder, tboIntel);
  // "Exif" beyond the first search window is not found.
  EXPECT_FALSE(OpenFile(dir, "b.psp", PspFile("Paint Maker", 20000))->HasIFDs());
  // Every cut ends quietly.
  const std::string full = PspFile("Paint Maker", 10);
  for (size_t cut = 8; cut <= full.size(); ++cut) ReadQuietly("c.psp", full.substr(0, cut));
}

TEST(LayeredReadersTest, RealPsdFile) {
  MORVANE_REQUIRE_SAMPLE(path, "Photoshop.psd");
  TTif tif;
  tif.FileName = path;
  tif.Open(false, false);
  EXPECT_EQ(tif.IPTCIFD.FindTag(80)->GetValue().AsText(), "\"Phil Harvey\"");
  EXPECT_EQ(tif.FindTag(306, ikAll)->GetValue().AsText(), "2005:07:18 08:27:14");
  EXPECT_EQ(tif.GetThumbnailStream(), nullptr);
  EXPECT_TRUE(tif.HasXMP());
}

TEST(LayeredReadersTest, RealPspFile) {
  MORVANE_REQUIRE_SAMPLE(path, "PSP.psp");
  TTif tif;
  tif.FileName = path;
  tif.Open(false, false);
  EXPECT_EQ(tif.FindTag(33432, ikAll)->GetValue().AsText(), "\xA9 2010 Phil Harvey");
}

}  // namespace
}  // namespace morvane
