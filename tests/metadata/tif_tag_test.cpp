// Entry reading, normalisation, typed values, raw texts and value encoding of one tag.
#include "metadata/tif_tag.h"

#include <gtest/gtest.h>

#include "metadata/tif_ifd.h"
#include "platform/errors.h"
#include "platform/sound.h"
#include "support/tiff_writer.h"

namespace morvane {
namespace {

using testing::EncodeNumber;
using testing::Order;

// One 12-byte entry followed by its out-of-line value, read back as a tag.
struct EntryCase {
  Order order;
  uint16_t tag;
  uint16_t type;
  uint32_t count;
  std::string value;  // value bytes in file order
};

std::unique_ptr<TTifTag> ReadOne(const EntryCase& c, int32_t max_value_size = -1, const TTifTags* filter = nullptr) {
  std::string bytes = EncodeNumber(c.order, c.tag, 2) + EncodeNumber(c.order, c.type, 2) +
                      EncodeNumber(c.order, c.count, 4);
  if (c.value.size() <= 4) {
    bytes += c.value + std::string(4 - c.value.size(), '\0');
  } else {
    bytes += EncodeNumber(c.order, 12, 4) + c.value;
  }
  TMemoryStream stream(bytes);
  auto tag = std::make_unique<TTifTag>();
  tag->ReadEntry("file.nef", stream, filter, max_value_size, false, nullptr, 0,
                 c.order == Order::kIntel ? tboIntel : tboMotorola);
  EXPECT_EQ(stream.Position(), 12);
  return tag;
}

std::string Shorts(Order o, std::initializer_list<uint64_t> v) {
  std::string s;
  for (auto x : v) s += EncodeNumber(o, x, 2);
  return s;
}

std::string Rationals(Order o, std::initializer_list<uint64_t> v) {
  std::string s;
  for (auto x : v) s += EncodeNumber(o, x, 4);
  return s;
}

TEST(TifTagTest, ValuesAndRawTexts) {
  struct Case {
    EntryCase entry;
    std::string value_text;
    std::string raw_text;
  };
  const Order I = Order::kIntel, M = Order::kMotorola;
  const Case cases[] = {
      {{M, 258, 3, 3, Shorts(M, {1, 2, 3})}, "1,2,3", "1,2,3"},
      {{M, 9, 4, 2, Rationals(M, {70000, 2})}, "70000,2", "70000,2"},
      {{M, 9, 12, 1, std::string("\x3F\xF8\0\0\0\0\0\0", 8)}, "1.5", "1.5"},
      {{M, 9, 7, 3, "abc"}, "abc", "abc"},
      {{I, 258, 3, 3, Shorts(I, {1, 2, 3})}, "1,2,3", "1,2,3"},
      {{I, 274, 3, 1, Shorts(I, {6})}, "6", "6"},
      {{I, 256, 4, 1, EncodeNumber(I, 6, 4)}, "6", "6"},
      {{I, 33434, 5, 1, Rationals(I, {10, 2500})}, "1/250", "1/250"},
      {{I, 33434, 5, 1, Rationals(I, {1, 1})}, "1", "1"},
      {{M, 33434, 5, 1, Rationals(M, {0, 0})}, "0", "0"},
      {{M, 33437, 5, 1, Rationals(M, {28, 10})}, "2.8", "28/10"},
      {{I, 37386, 5, 1, Rationals(I, {40, 60})}, "0.666666666666667", "2/3"},
      {{I, 33434, 5, 1, Rationals(I, {46, 69})}, "46/69", "46/69"},
      {{I, 37380, 10, 1, Rationals(I, {0xFFFFFFFE, 3})}, "-2/3", "-2/3"},
      {{I, 37380, 10, 1, Rationals(I, {0, 0})}, "0/0", "0/0"},
      {{M, 2, 5, 3, Rationals(M, {51, 1, 30, 1, 1234, 100})}, "51/1,30/1,1234/100", "51/1,30/1,1234/100"},
      {{I, 2, 5, 2, Rationals(I, {20, 10, 7, 0})}, "2/1,0", "20/10,0"},
      // A text ends at its first zero; an ASCII user comment at its first zero after the code.
      {{I, 270, 2, 6, std::string("AB\0CD\0", 6)}, "AB", "AB"},
      {{M, 315, 2, 14, std::string("unknown\0\x01<\x01P\x01d", 14)}, "unknown", "unknown"},
      {{I, 37510, 7, 3, std::string("Hi\0", 3)}, std::string("ASCII\0\0\0Hi", 10), std::string("ASCII\0\0\0Hi", 10)},
      {{I, 37510, 7, 12, std::string("ascii\0\0\0H\0xy", 12)}, std::string("ascii\0\0\0H", 9), std::string("ascii\0\0\0H", 9)},
      {{I, 273, 4, 2, Rationals(I, {8, 9})}, "Strip offsets", "Strip offsets"},
      {{I, 279, 3, 1, Shorts(I, {8})}, "Strip Byte Counts", "Strip Byte Counts"},
      {{I, 9, 8, 2, Shorts(I, {0xFFFF, 2})}, "-1,2", "-1,2"},
      {{I, 9, 13, 1, EncodeNumber(I, 77, 4)}, "77", ""},
      {{I, 9, 14, 1, EncodeNumber(I, 77, 4)}, "", ""},
  };
  for (const Case& c : cases) {
    const auto tag = ReadOne(c.entry);
    EXPECT_EQ(tag->GetValue().AsText(), c.value_text) << "tag " << c.entry.tag;
    EXPECT_EQ(tag->RawTagValue(), c.raw_text) << "tag " << c.entry.tag;
  }
}

TEST(TifTagTest, OneComponentNumbersAreNumbersButShortsAreTexts) {
  EXPECT_TRUE(ReadOne({Order::kIntel, 274, 3, 1, Shorts(Order::kIntel, {6})})->GetValue().IsText());
  EXPECT_TRUE(ReadOne({Order::kIntel, 256, 4, 1, EncodeNumber(Order::kIntel, 6, 4)})->GetValue().IsInteger());
  EXPECT_TRUE(ReadOne({Order::kIntel, 33437, 5, 1, Rationals(Order::kIntel, {28, 10})})->GetValue().IsFloat());
}

TEST(TifTagTest, SoftwareAndUserCommentAreAlwaysText) {
  const auto tag = ReadOne({Order::kIntel, 305, 7, 4, "abc\0"});
  EXPECT_EQ(tag->DataFormat, tdfAsciiString);
}

TEST(TifTagTest, LimitsDeferOrSkipValues) {
  const std::string big(600, 'x');
  const auto deferred = ReadOne({Order::kIntel, 700, 7, 600, big}, 512);
  EXPECT_TRUE(deferred->DataStream.Empty());
  EXPECT_EQ(deferred->DeferredFile, "file.nef");
  EXPECT_EQ(deferred->ValueOffset, 12);
  EXPECT_EQ(ReadOne({Order::kIntel, 256, 4, 1, EncodeNumber(Order::kIntel, 6, 4)}, 512)->Bytes().size(), 4u);

  TTifTags filter;
  filter.Add()->TagNumber = 274;
  const auto filtered = ReadOne({Order::kIntel, 256, 4, 1, EncodeNumber(Order::kIntel, 6, 4)}, -1, &filter);
  EXPECT_EQ(filtered->TagNumber, 256);
  EXPECT_EQ(filtered->Components, 1);
  EXPECT_TRUE(filtered->DataStream.Empty());
  EXPECT_EQ(filtered->GetValue().AsText(), "0");

  // A value that would reach past the end of the stream is not loaded.
  EntryCase truncated{Order::kIntel, 700, 7, 600, std::string(100, 'x')};
  std::string bytes = EncodeNumber(Order::kIntel, 700, 2) + EncodeNumber(Order::kIntel, 7, 2) +
                      EncodeNumber(Order::kIntel, 600, 4) + EncodeNumber(Order::kIntel, 12, 4) + std::string(100, 'x');
  TMemoryStream stream(bytes);
  TTifTag tag;
  tag.ReadEntry("f", stream, nullptr, -1, false, nullptr, 0, tboIntel);
  EXPECT_TRUE(tag.DataStream.Empty());
  EXPECT_EQ(stream.Position(), 12);
}

TEST(TifTagTest, HugeCountsDoNotWrapOrAllocate) {
  // 0x20000001 rationals would wrap a 32-bit size to 8 bytes.
  std::string bytes = EncodeNumber(Order::kIntel, 33434, 2) + EncodeNumber(Order::kIntel, 5, 2) +
                      EncodeNumber(Order::kIntel, 0x20000001, 4) + EncodeNumber(Order::kIntel, 12, 4) +
                      Rationals(Order::kIntel, {1, 250});
  TMemoryStream stream(bytes);
  TTifTag tag;
  tag.ReadEntry("f", stream, nullptr, -1, false, nullptr, 0, tboIntel);
  EXPECT_TRUE(tag.DataStream.Empty());
  EXPECT_EQ(tag.RawTagValue(), "");
}

TEST(TifTagTest, DngBlobsAreNotLoadedWithoutFullDng) {
  const auto blob = ReadOne({Order::kIntel, 50828, 7, 8, "12345678"});
  EXPECT_EQ(blob->Bytes(), (std::vector<uint8_t>{12, 0}));  // low 16 bits of the offset
  const auto source = ReadOne({Order::kIntel, 37724, 7, 8, "12345678"});
  EXPECT_TRUE(source->DataStream.Empty());
  EXPECT_FALSE(source->DeferredFile.empty());
}

TEST(TifTagTest, SetValueEncodesByFormat) {
  TTifTag tag;
  tag.DataFormat = tdfUnsignedRational;
  tag.SetValue("1/250");
  EXPECT_EQ(tag.Bytes(), (std::vector<uint8_t>{1, 0, 0, 0, 250, 0, 0, 0}));
  EXPECT_EQ(tag.Components, 1);
  tag.SetValue(100);
  EXPECT_EQ(tag.RawTagValue(), "100/1");
  tag.SetValue(5.6);
  EXPECT_DOUBLE_EQ(tag.GetValue().AsFloat(), 5.6);
  EXPECT_THROW(tag.SetValue("a/b"), EConvertError);

  const int sounds = WarningSoundCount();
  tag.SetValue("250");
  EXPECT_EQ(WarningSoundCount(), sounds + 1);
  EXPECT_TRUE(tag.DataStream.Empty());

  TTifTag text;
  text.DataFormat = tdfAsciiString;
  text.SetValue("Canon");
  EXPECT_EQ(text.Components, 6);
  EXPECT_EQ(text.GetValue().AsText(), "Canon");

  TTifTag comment;
  comment.TagNumber = 37510;
  comment.DataFormat = tdfUndefined;
  comment.SetValue("Hi");
  EXPECT_EQ(comment.Components, 11);

  TTifTag word;
  word.DataFormat = tdfUnsignedShort;
  word.SetValue(0x12345);
  EXPECT_EQ(word.Bytes(), (std::vector<uint8_t>{0x45, 0x23}));
  EXPECT_THROW(word.SetValue("six"), EConvertError);

  TTifTag real;
  real.DataFormat = tdfDoubleFloat;
  real.SetValue(1.5);
  EXPECT_TRUE(real.DataStream.Empty());
  EXPECT_EQ(WarningSoundCount(), sounds + 2);
}

TEST(TifTagTest, DictionaryKindsComeFromTheOwningDirectory) {
  TTifIFD exif;
  exif.Name = "Exif";
  EXPECT_EQ(exif.Tags.Add()->DictionaryKinds(), ikExif);
  TTifIFD plain;
  EXPECT_EQ(plain.Tags.Add()->DictionaryKinds(), ikAll);
  TTifTag loose;
  EXPECT_EQ(loose.DictionaryKinds(), ikAll);
}

}  // namespace
}  // namespace morvane
