// CR3 files: the four metadata blocks in the usual directories, the places of the three JPEGs,
// and tracks or boxes that point outside the file.
#include "metadata/cr3_reader.h"

#include <gtest/gtest.h>

#include "metadata/tif_reader.h"
#include "support/bmff_writer.h"
#include "support/samples.h"
#include "support/tiff_writer.h"

namespace morvane {
namespace {

using testing::Cr3Parts;
using testing::Order;
using testing::TiffWriter;

std::string Block(const std::function<void(TiffWriter&, int)>& fill, Order order = Order::kIntel) {
  TiffWriter writer(order);
  fill(writer, writer.NewIfd());
  return writer.Build();
}

Cr3Parts MetadataParts() {
  Cr3Parts parts;
  parts.Cmt1 = Block([](TiffWriter& w, int ifd) {
    w.AddAscii(ifd, 271, "Canon");
    w.AddAscii(ifd, 272, "Canon EOS R5");
    w.Add(ifd, 274, TiffWriter::kShort, {6});
  });
  parts.Cmt2 = Block([](TiffWriter& w, int ifd) {
    w.Add(ifd, 33434, TiffWriter::kRational, {1, 80});
    w.Add(ifd, 34855, TiffWriter::kShort, {12800});
    w.AddAscii(ifd, 36867, "2021:03:04 05:06:07");
  });
  // The maker notes in the other byte order: each block carries its own.
  parts.Cmt3 = Block([](TiffWriter& w, int ifd) { w.Add(ifd, 0x0010, TiffWriter::kLong, {0x80000421}); }, Order::kMotorola);
  parts.Cmt4 = Block([](TiffWriter& w, int ifd) { w.Add(ifd, 0, TiffWriter::kByte, {2, 3, 0, 0}); });
  return parts;
}

bool ReadCr3Stream(TTif& tif, const std::string& file, bool quick_scan = false) {
  TMemoryStream stream(file);
  tif.FileName = "IMG_0001.CR3";
  return tif.Open(stream, false, quick_scan);
}

TEST(Cr3ReaderTest, MetadataBlocksFillTheUsualDirectories) {
  TTif tif;
  ASSERT_TRUE(ReadCr3Stream(tif, BuildCr3(MetadataParts())));
  EXPECT_EQ(tif.GetMake(), "Canon");
  EXPECT_EQ(tif.GetModel(), "Canon EOS R5");
  EXPECT_EQ(tif.IFDs.Count(), 1);
  ASSERT_NE(tif.FindTag(33434, ikExif), nullptr);
  EXPECT_EQ(tif.FindTag(33434, ikExif)->RawTagValue(), "1/80");
  EXPECT_EQ(tif.FindTag(34855, ikExif)->RawTagValue(), "12800");
  ASSERT_NE(tif.FindTag(0x0010, ikMakerNotes), nullptr);
  EXPECT_EQ(tif.FindTag(0x0010, ikMakerNotes)->GetValue().AsInteger(), 0x80000421);
  EXPECT_EQ(tif.ExifMarkerNotesIFD.CameraMake, "Canon");
  ASSERT_NE(tif.FindTag(0, ikGps), nullptr);
  EXPECT_EQ(tif.FindTag(0, ikGps)->RawTagValue(), "2,3,0,0");

  TTif quick;
  ASSERT_TRUE(ReadCr3Stream(quick, BuildCr3(MetadataParts()), true));
  EXPECT_EQ(quick.GetModel(), "Canon EOS R5");
  EXPECT_NE(quick.FindTag(33434, ikExif), nullptr);
  EXPECT_TRUE(quick.ExifMarkerNotesIFD.Tags.Empty());
}

TEST(Cr3ReaderTest, DamagedBlocksAndBoxesLeaveWhatReads) {
  Cr3Parts parts = MetadataParts();
  parts.Cmt2 = "II*\0\xff\xff\xff\x7f";  // its directory lies beyond the block
  parts.Cmt3 = "not a TIFF block";
  TTif tif;
  ReadCr3Stream(tif, BuildCr3(parts));
  EXPECT_EQ(tif.GetModel(), "Canon EOS R5");
  EXPECT_TRUE(tif.ExifIFD.Tags.Empty());
  EXPECT_TRUE(tif.ExifMarkerNotesIFD.Tags.Empty());
  EXPECT_FALSE(tif.GPSIFD.Tags.Empty());

  // Cut anywhere, the file reads without failing.
  const std::string whole = BuildCr3(MetadataParts());
  for (size_t size = 0; size < whole.size(); size += 7) {
    TTif cut;
    ReadCr3Stream(cut, whole.substr(0, size) + std::string(size < 16 ? 16 - size : 0, '\0'));
  }
}

TEST(Cr3ReaderTest, PicturesFromThumbnailPreviewAndFirstTrack) {
  Cr3Parts parts;
  parts.Thumbnail = "\xFF\xD8thumbnail";
  parts.Preview = "\xFF\xD8preview";
  parts.FullSize = "\xFF\xD8" + std::string(300, 'f');
  const auto text_at = [](const std::string& file, const std::optional<TByteRange>& range) {
    return range ? file.substr(static_cast<size_t>(range->Offset), static_cast<size_t>(range->Size)) : std::string("none");
  };
  for (const bool short_offsets : {false, true})
    for (const bool large_media : {false, true}) {
      parts.ShortOffsets = short_offsets;
      parts.LargeMedia = large_media;
      const std::string file = BuildCr3(parts);
      TMemoryStream stream(file);
      const TCr3Pictures pictures = FindCr3Pictures(stream);
      EXPECT_EQ(text_at(file, pictures.Thumbnail), parts.Thumbnail);
      EXPECT_EQ(text_at(file, pictures.Preview), parts.Preview);
      EXPECT_EQ(text_at(file, pictures.FullSize), parts.FullSize) << short_offsets << large_media;
    }

  // A chunk offset beyond the file, or a sample that would run past its end: no full-size JPEG.
  parts.ShortOffsets = false;
  for (const int64_t shift : {int64_t{1} << 40, int64_t{1}, int64_t{-100000}}) {
    parts.TrackOffsetShift = shift;
    const std::string file = BuildCr3(parts);
    TMemoryStream stream(file);
    const TCr3Pictures pictures = FindCr3Pictures(stream);
    EXPECT_FALSE(pictures.FullSize) << shift;
    EXPECT_TRUE(pictures.Thumbnail);
  }
}

// The sample's values as a peer metadata tool reads them; its pictures are stubs, and its PRVW
// box claims more bytes than its parent holds.
TEST(Cr3ReaderTest, SampleFileAsThePeerToolReadsIt) {
  MORVANE_REQUIRE_SAMPLE(path, "CanonRaw.cr3");
  TTif tif;
  tif.FileName = path;
  tif.Open(false, false);
  EXPECT_EQ(tif.ByteOrder, tboIntel);
  EXPECT_EQ(tif.GetMake(), "Canon");
  EXPECT_EQ(tif.GetModel(), "Canon EOS M50");
  EXPECT_EQ(tif.FindTag(256, ikBase)->RawTagValue(), "6000");
  EXPECT_EQ(tif.FindTag(33434, ikExif)->RawTagValue(), "1/80");
  EXPECT_EQ(tif.FindTag(33437, ikExif)->RawTagValue(), "35/10");
  EXPECT_EQ(tif.FindTag(34855, ikExif)->RawTagValue(), "12800");
  EXPECT_EQ(tif.FindTag(36867, ikExif)->RawTagValue(), "2018:02:21 12:08:56");
  EXPECT_EQ(tif.FindTag(42036, ikExif)->RawTagValue(), "EF-M15-45mm f/3.5-6.3 IS STM");
  EXPECT_EQ(tif.FindTag(0, ikGps)->RawTagValue(), "2,3,0,0");
  EXPECT_EQ(tif.ExifMarkerNotesIFD.Tags.Count(), 47);
  EXPECT_EQ(tif.FindTag(0x0010, ikMakerNotes)->GetValue().AsInteger(), 1042);
  EXPECT_TRUE(tif.HasXMP());

  TFileStream file(path);
  const TCr3Pictures pictures = FindCr3Pictures(file);
  ASSERT_TRUE(pictures.Thumbnail);
  EXPECT_EQ(pictures.Thumbnail->Offset, 8736 + 24);
  EXPECT_FALSE(pictures.Preview);
  ASSERT_TRUE(pictures.FullSize);
  EXPECT_EQ(pictures.FullSize->Offset, 0x2cad);
  EXPECT_EQ(pictures.FullSize->Size, 0x1d);
}

}  // namespace
}  // namespace morvane
