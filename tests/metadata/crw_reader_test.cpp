// The CRW reader: make and model at their fixed places in the block the file's last 8 bytes
// point at, fields cut by the block's end, blocks that do not lie in the file, and the heap
// lookup for files laid out otherwise.
#include "metadata/crw_reader.h"

#include <gtest/gtest.h>

#include "metadata/tif_reader.h"
#include "support/samples.h"
#include "support/temp_file.h"
#include "support/tiff_writer.h"

namespace morvane {
namespace {

using testing::EncodeNumber;
using testing::Order;
using testing::TempDir;

std::string Le32(int64_t value) { return EncodeNumber(Order::kIntel, static_cast<uint64_t>(value), 4); }
std::string Le16(int64_t value) { return EncodeNumber(Order::kIntel, static_cast<uint64_t>(value), 2); }

const std::string kCrwHeader = std::string("II\x1A\0\0\0HEAPCCDR\x02\0\x01\0", 18) + std::string(8, '\0');

// A CRW file whose last 8 bytes point at `block` (placed right after the header), unless other
// offsets are given.
std::string CrwWithBlock(const std::string& block) {
  return kCrwHeader + block + Le32(0) + Le32(static_cast<int64_t>(block.size()));
}

std::string BlockWith(const std::string& make, const std::string& model) {
  return std::string(498, '\0') + make + std::string(6 - make.size(), '\0') + model;
}

struct Texts {
  std::string make, model;
};

Texts ReadTexts(const TempDir& dir, const std::string& bytes) {
  TTif tif;
  tif.FileName = dir.Write("a.crw", bytes);
  tif.Open(false, false);
  return {tif.GetMake(), tif.GetModel()};
}

TEST(CrwReaderTest, ReadsTheFixedFieldsOfTheBlock) {
  const std::string model25 = "Canon EOS DIGITAL REBEL X";  // 25 characters, no zero byte
  const struct {
    std::string bytes;
    std::string make, model;
  } cases[] = {
      {CrwWithBlock(BlockWith("Canon", std::string("Canon EOS 10D\0junk", 18))), "Canon", "Canon EOS 10D"},
      {CrwWithBlock(BlockWith("Canon", std::string("Canon PowerShot G2\0", 19))), "Canon", "Canon PowerShot G2"},
      // A field is a name only when its text ends inside the field and is printable; without a
      // make-and-model record to fall back on, the others stay empty.
      {CrwWithBlock(BlockWith("Canon", model25 + "XYZ")), "Canon", ""},
      {CrwWithBlock(BlockWith("Canon", model25).substr(0, 514)), "Canon", ""},
      {CrwWithBlock(BlockWith("Canon", "").substr(0, 500)), "", ""},
      {CrwWithBlock(BlockWith("Ca\x01on", std::string("Canon\x7F\0", 7))), "", ""},
      // A block reaching past the end of the file is not copied.
      {kCrwHeader + BlockWith("Canon", "Model") + Le32(0) + Le32(1 << 30), "", ""},
      // Negative offsets copy nothing.
      {kCrwHeader + BlockWith("Canon", "Model") + Le32(-100) + Le32(600), "", ""},
      {kCrwHeader + BlockWith("Canon", "Model") + Le32(600) + Le32(0), "", ""},
      {"II\x1A", "", ""},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const Texts texts = ReadTexts(dir, c.bytes);
    EXPECT_EQ(texts.make, c.make);
    EXPECT_EQ(texts.model, c.model);
  }
}

TEST(CrwReaderTest, WritesPointerMakeAndModelIntoIfd0) {
  TempDir dir;
  TTif tif;
  tif.FileName = dir.Write("a.CRW", "short");
  tif.Open(false, false);
  ASSERT_EQ(tif.IFDs.Count(), 1);
  const TTifTags& tags = tif.IFDs[0]->Tags;
  ASSERT_EQ(tags.Count(), 3);
  EXPECT_EQ(tags[0]->TagNumber, 34665);
  EXPECT_EQ(tags[1]->TagNumber, 271);
  EXPECT_EQ(tags[2]->TagNumber, 272);
  EXPECT_EQ(tags[1]->DataFormat, tdfAsciiString);
  EXPECT_TRUE(tif.ExifIFD.Tags.Empty());
}

// A file whose root heap holds `sub_heap` as its one record. The root's directory ends the file,
// so its last 8 bytes also name the sub-heap as the block of the fixed places.
std::string RootHeapAround(const std::string& sub_heap) {
  const auto size = static_cast<int64_t>(sub_heap.size());
  return kCrwHeader + sub_heap + Le16(1) + Le16(0x300A) + Le32(size) + Le32(0) + Le32(size);
}

// Make and model from the heap's record: when the block is too short for the fixed places, and
// when a re-written file holds JPEG bytes there.
TEST(CrwReaderTest, FindsMakeAndModelInTheHeapWhenTheBlockHasNone) {
  const std::string record = std::string("Canon\0Canon EOS D30\0", 20);
  TempDir dir;
  const std::string record_entry = Le16(0x080A) + Le32(20);
  const Texts texts = ReadTexts(dir, RootHeapAround(record + Le16(1) + record_entry + Le32(0) + Le32(20)));
  EXPECT_EQ(texts.make, "Canon");
  EXPECT_EQ(texts.model, "Canon EOS D30");

  std::string jpeg = "\xFF\xD8";
  while (jpeg.size() < 600) jpeg += std::string("\x01<\x01P\x01d\0\x10", 8);
  jpeg.resize(600);
  const std::string jpeg_entry = Le16(0x2007) + Le32(600) + Le32(0);
  const Texts behind_jpeg = ReadTexts(
      dir, RootHeapAround(jpeg + record + Le16(2) + jpeg_entry + record_entry + Le32(600) + Le32(620)));
  EXPECT_EQ(behind_jpeg.make, "Canon");
  EXPECT_EQ(behind_jpeg.model, "Canon EOS D30");

  // A sub-heap that holds itself ends at the depth bound.
  const std::string looping = Le16(1) + Le16(0x300A) + Le32(16) + Le32(0) + Le32(0);
  EXPECT_EQ(ReadTexts(dir, kCrwHeader + looping).make, "");
}

TEST(CrwReaderTest, RealCrwFile) {
  MORVANE_REQUIRE_SAMPLE(path, "CanonRaw.crw");
  TTif tif;
  tif.FileName = path;
  tif.Open(false, false);
  EXPECT_EQ(tif.GetMake(), "Canon");
  EXPECT_EQ(tif.GetModel(), "Canon EOS DIGITAL REBEL");
}

}  // namespace
}  // namespace morvane
