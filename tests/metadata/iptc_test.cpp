// Image-resource blocks and IPTC records: padding of names and odd sizes, where the block list
// ends, repeatable datasets gathered as comma text, lengths cut to the data, and IPTC read from
// the TIFF tag in either byte order.
#include "metadata/iptc.h"

#include <gtest/gtest.h>

#include "metadata/comma_text.h"
#include "metadata/tif_ifd.h"
#include "metadata/tif_reader.h"
#include "support/jpeg_writer.h"
#include "support/temp_file.h"
#include "support/tiff_writer.h"

namespace morvane {
namespace {

using testing::ImageResource;
using testing::IptcDataset;
using testing::IptcRecords;

std::string TagText(const TTifIFD& directory, int number) {
  const TTifTag* tag = directory.FindTag(number);
  return tag != nullptr ? tag->GetValue().AsText() : "<none>";
}

TEST(ImageResourcesTest, ReadsBlocksWithPaddedNamesAndOddSizes) {
  TMemoryStream stream(ImageResource(1028, "", "12345") + ImageResource(1060, "ab", "xy") +
                       ImageResource(7, "", "") + ImageResource(1039, "odd", "icc!") + "tail");
  TIPTCResources resources;
  resources.ReadFromStream(&stream, tboMotorola);
  ASSERT_EQ(resources.Count(), 3);  // the empty block adds nothing
  EXPECT_EQ(resources[0]->Code, 1028);
  EXPECT_EQ(resources[0]->DataStream.View(), std::string("12345\0", 6));
  EXPECT_EQ(resources[1]->ResourceName, "ab");
  EXPECT_EQ(resources[1]->DataStream.View(), "xy");
  EXPECT_EQ(resources[2]->ResourceName, "odd");
  EXPECT_EQ(resources.FindResource(1039), resources[2]);
  EXPECT_EQ(resources.FindResource(1), nullptr);
  // The stream stands at the first byte that is not a block.
  EXPECT_EQ(stream.ReadString(4), "tail");
}

TEST(ImageResourcesTest, DamagedBlocksEndTheListWithinTheStream) {
  const std::string good = ImageResource(1028, "", "ab");
  const struct {
    std::string bytes;
    int count;
    size_t last_size;
  } cases[] = {
      // A size far beyond the stream keeps the bytes that exist.
      {good + std::string("8BIM\x04\x24\0\0\x7F\xFF\xFF\xFFxyz", 15), 2, 3},
      // A header cut inside the name or the size adds nothing.
      {good + std::string("8BIM\x04\x24\x09name", 11), 1, 2},
      {good + std::string("8BIM\x04\x24\0\0\0\0", 10), 1, 2},
      // A negative size adds nothing; the next block is still found.
      {std::string("8BIM\x04\x24\0\0\xFF\xFF\xFF\xFF", 12) + good, 1, 2},
  };
  for (const auto& c : cases) {
    TMemoryStream stream(c.bytes);
    TIPTCResources resources;
    resources.ReadFromStream(&stream, tboMotorola);
    ASSERT_EQ(resources.Count(), c.count);
    EXPECT_EQ(resources[c.count - 1]->DataStream.Size(), static_cast<int64_t>(c.last_size));
  }
}

TEST(IptcRecordsTest, GathersRepeatableDatasetsAsCommaText) {
  TIPTCResource resource;
  const std::string records =
      IptcDataset(1, 90, "\x1B%G") +
      IptcRecords({{25, "Alps"}, {120, "A caption"}, {25, "Mont Blanc"}, {5, "First"},
                   {25, "Snow"}, {5, "Second"}, {80, "Phil Harvey"}, {0, "zero"}, {7, ""}});
  resource.DataStream.Write(records.data(), records.size());
  TTifIFD directory;
  resource.ReadIPTC(&directory, tboMotorola);

  EXPECT_EQ(TagText(directory, 25), "Alps,\"Mont Blanc\",Snow");
  EXPECT_EQ(ReadCommaText(TagText(directory, 25)),
            (std::vector<std::string>{"Alps", "Mont Blanc", "Snow"}));
  EXPECT_EQ(TagText(directory, 80), "\"Phil Harvey\"");
  EXPECT_EQ(TagText(directory, 120), "A caption");
  // Record 1, dataset 0 and empty datasets make no tags; other datasets keep every occurrence.
  std::vector<int> numbers;
  for (const auto& tag : directory.Tags) numbers.push_back(tag->TagNumber);
  EXPECT_EQ(numbers, (std::vector<int>{25, 120, 5, 5, 80}));
  EXPECT_EQ(directory.Tags[0]->DataFormat, tdfAsciiString);
  EXPECT_EQ(directory.Tags[1]->Components, 9);
  EXPECT_EQ(directory.Tags[3]->GetValue().AsText(), "Second");
  // The gathered tag is stored as SetValue writes text: with its zero byte.
  EXPECT_EQ(directory.Tags[0]->DataStream.Bytes().back(), 0);
}

TEST(IptcRecordsTest, AppendsToATagTheDirectoryHasAndCutsLengths) {
  TTifIFD directory;
  TTifTag* existing = directory.Tags.Add();
  existing->TagNumber = 25;
  existing->DataFormat = tdfAsciiString;
  existing->SetValue(TValue("old,\"two words\""));

  TIPTCResource resource;
  const std::string records = IptcDataset(2, 25, "new") + std::string("\x1C\x02\x78\x01\x00" "cut", 8);
  resource.DataStream.Write(records.data(), records.size());
  resource.ReadIPTC(&directory, tboMotorola);
  EXPECT_EQ(directory.Tags.Count(), 2);
  EXPECT_EQ(TagText(directory, 25), "old,\"two words\",new");
  EXPECT_EQ(TagText(directory, 120), "cut");

  resource.ReadIPTC(nullptr, tboMotorola);
}

TEST(IptcRecordsTest, ManyKeywordsCostTimeInProportionToTheirBytes) {
  std::string records;
  for (int i = 0; i < 20000; ++i) records += IptcDataset(2, 25, "k" + std::to_string(i % 10));
  TIPTCResource resource;
  resource.DataStream.Write(records.data(), records.size());
  TTifIFD directory;
  resource.ReadIPTC(&directory, tboMotorola);
  ASSERT_EQ(directory.Tags.Count(), 1);
  EXPECT_EQ(ReadCommaText(TagText(directory, 25)).size(), 20000u);
}

// IPTC records in TIFF tag 33723, declared LONG, as big-endian files store them: each 4-byte
// number is turned little-endian when read, and the records are read once more in file order.
TEST(IptcRecordsTest, ReadsTheTiffTagInEitherByteOrder) {
  for (const auto order : {testing::Order::kIntel, testing::Order::kMotorola}) {
    testing::TiffWriter w(order);
    const int ifd0 = w.NewIfd();
    w.AddAscii(ifd0, 271, "Maker");
    w.AddBytes(ifd0, 33723, testing::TiffWriter::kLong,
               IptcRecords({{25, "Alps"}, {25, "Snow"}, {120, "Caption!!"}}));
    testing::TempDir dir;
    TTif tif;
    tif.FileName = dir.Write("iptc.tif", w.Build());
    tif.Open(false, false);
    EXPECT_EQ(TagText(tif.IPTCIFD, 25), "Alps,Snow");
    EXPECT_EQ(TagText(tif.IPTCIFD, 120), "Caption!!");
  }
}

}  // namespace
}  // namespace morvane
