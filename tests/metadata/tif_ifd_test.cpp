// Directory reading: byte-order switch, rejected counts, sub-directory chains, thumbnails,
// strips, copies.
#include "metadata/tif_ifd.h"

#include <gtest/gtest.h>

#include "support/tiff_writer.h"

namespace morvane {
namespace {

using testing::EncodeNumber;
using testing::Order;
using testing::TiffWriter;

uint32_t ReadAt(TTifIFD& ifd, const std::string& bytes, int64_t at, TTifByteOrder order,
                bool skip_thumbnail = false) {
  TMemoryStream stream(bytes);
  stream.Seek(at);
  return ifd.ReadIFD("f", stream, nullptr, -1, false, nullptr, skip_thumbnail, 0, order);
}

TEST(TifIfdTest, CountAbove100SwitchesByteOrder) {
  // Two little-endian entries read as big-endian give a count of 512: the reader switches.
  TiffWriter w(Order::kIntel);
  const int ifd = w.NewIfd();
  w.Add(ifd, 274, TiffWriter::kShort, {6});
  w.Add(ifd, 256, TiffWriter::kLong, {3008});
  TTifIFD d;
  ReadAt(d, w.Build(), 8, tboMotorola);
  ASSERT_EQ(d.Tags.Count(), 2);
  EXPECT_EQ(d.FindTag(274)->GetValue().AsText(), "6");
  EXPECT_EQ(d.FindTag(256)->GetValue().AsInteger(), 3008);
}

TEST(TifIfdTest, CountAbove100InBothOrdersRejectsTheDirectory) {
  TiffWriter w;
  const int ifd = w.NewIfd();
  w.Add(ifd, 274, TiffWriter::kShort, {6});
  w.SetCountRaw(ifd, 0x0202);  // 514 either way
  w.SetNextRaw(ifd, 8);
  TTifIFD d;
  EXPECT_EQ(ReadAt(d, w.Build(), 8, tboIntel), 0u);
  EXPECT_EQ(d.Tags.Count(), 0);
}

TEST(TifIfdTest, TruncatedDirectoryKeepsTheTagsRead) {
  TiffWriter w;
  const int ifd = w.NewIfd();
  for (uint16_t t = 1; t <= 5; ++t) w.Add(ifd, t, TiffWriter::kShort, {t});
  const std::string bytes = w.Build().substr(0, 8 + 2 + 12 * 3 + 5);
  TTifIFD d;
  EXPECT_EQ(ReadAt(d, bytes, 8, tboIntel), 0u);
  EXPECT_EQ(d.Tags.Count(), 5);  // every entry gets a tag; those past the end stay empty
  EXPECT_EQ(d.FindTag(3)->GetValue().AsText(), "3");
  ASSERT_NE(d.FindTag(4), nullptr);
  EXPECT_TRUE(d.FindTag(4)->DataStream.Empty());
  EXPECT_EQ(d.FindTag(5), nullptr);
}

TEST(TifIfdTest, SubIfdChainStopsAfter129DirectoriesOrAtOneAlreadyRead) {
  for (Order order : {Order::kIntel, Order::kMotorola}) {
    TiffWriter w(order);
    const int main = w.NewIfd();
    const int sub = w.NewIfd();
    const int other = w.NewIfd();
    w.AddSubIfds(main, {sub, other});
    w.Add(sub, 254, TiffWriter::kLong, {1});
    w.Add(other, 254, TiffWriter::kLong, {2});
    const std::string bytes = w.Build();
    // The sub-directory's next offset points at itself.
    const std::string probe = bytes;
    TTifIFD first;
    TMemoryStream s(probe);
    s.Seek(8);
    first.ReadIFD("f", s, nullptr, -1, false, nullptr, false, 0, order == Order::kIntel ? tboIntel : tboMotorola);
    ASSERT_EQ(first.SubIFDs.Count(), 2);
    EXPECT_EQ(first.SubIFDs[0]->FindTag(254)->GetValue().AsInteger(), 1);

    TiffWriter looping(order);
    const int m = looping.NewIfd();
    const int l = looping.NewIfd();
    looping.AddSubIfds(m, {l});
    looping.Add(l, 254, TiffWriter::kLong, {1});
    std::string loop_bytes = looping.Build();
    // Point the sub-directory's next offset back at itself.
    const uint32_t sub_pos = 8 + 2 + 12 + 4;
    loop_bytes.replace(sub_pos + 2 + 12, 4, EncodeNumber(order, sub_pos, 4));
    TTifIFD d;
    ReadAt(d, loop_bytes, 8, order == Order::kIntel ? tboIntel : tboMotorola);
    // The directory met again is not read a second time: it stays empty and ends the chain.
    ASSERT_EQ(d.SubIFDs.Count(), 2);
    EXPECT_EQ(d.SubIFDs[0]->Tags.Count(), 1);
    EXPECT_EQ(d.SubIFDs[1]->Tags.Count(), 0);

    TiffWriter long_chain(order);
    const int head = long_chain.NewIfd();
    std::vector<int> chain;
    for (int i = 0; i < 200; ++i) {
      chain.push_back(long_chain.NewIfd());
      long_chain.Add(chain.back(), 254, TiffWriter::kLong, {static_cast<uint64_t>(i)});
      if (i > 0) long_chain.SetNext(chain[i - 1], chain[i]);
    }
    long_chain.AddSubIfds(head, {chain.front()});
    TTifIFD chained;
    ReadAt(chained, long_chain.Build(), 8, order == Order::kIntel ? tboIntel : tboMotorola);
    EXPECT_EQ(chained.SubIFDs.Count(), 129);
  }
}

TEST(TifIfdTest, SubIfdsNamingOneDirectoryThousandsOfTimesCopyItsThumbnailOnce) {
  // A thumbnail bomb: 3000 SubIFDs entries name the same directory, which holds a 256 KB
  // thumbnail. Read naively, that is 750 MB of copies from a file of a quarter of that.
  const std::string thumbnail = "\xFF\xD8" + std::string(256 * 1024, 'j');
  for (Order order : {Order::kIntel, Order::kMotorola}) {
    TiffWriter w(order);
    const int main = w.NewIfd();
    const int sub = w.NewIfd();
    w.AddSubIfds(main, std::vector<int>(3000, sub));
    w.AddBlob(sub, 513, 514, thumbnail);
    const std::string bytes = w.Build();
    TMemoryStream stream(bytes);
    stream.Seek(8);
    TWalkBudget budget(stream.Size());
    const int64_t initial = budget.value_bytes;
    TTifIFD d;
    d.ReadIFD("f", stream, nullptr, -1, false, nullptr, false, 0,
              order == Order::kIntel ? tboIntel : tboMotorola, &budget);

    ASSERT_EQ(d.SubIFDs.Count(), 3000);
    int64_t copied = 0;
    for (const auto& directory : d.SubIFDs) copied += directory->ThumbDataStream.Size();
    EXPECT_EQ(copied, static_cast<int64_t>(thumbnail.size()));
    EXPECT_EQ(d.SubIFDs[0]->ThumbDataStream.View(), thumbnail);
    EXPECT_TRUE(d.SubIFDs[2999]->Tags.Empty());
    // The thumbnail and the 12 KB offsets list are all the walk copied.
    EXPECT_EQ(initial - budget.value_bytes, static_cast<int64_t>(thumbnail.size()) + 3000 * 4);
    EXPECT_EQ(budget.directories, kMaxDirectoriesPerWalk - 3001);
  }
}

TEST(TifIfdTest, ThumbnailCopiesAreChargedToTheWalkBudget) {
  // Two directories of one walk, each with its own 4 KB thumbnail, and a budget for one of them.
  const std::string thumbnail = "\xFF\xD8" + std::string(4094, 't');
  TiffWriter w;
  const int main = w.NewIfd();
  const int a = w.NewIfd();
  const int b = w.NewIfd();
  w.AddSubIfds(main, {a, b});
  w.AddBlob(a, 513, 514, thumbnail);
  w.AddBlob(b, 513, 514, thumbnail);
  TMemoryStream stream(w.Build());
  stream.Seek(8);
  TWalkBudget budget(0);
  budget.value_bytes = 8 + 4096 + 100;
  TTifIFD d;
  d.ReadIFD("f", stream, nullptr, -1, false, nullptr, false, 0, tboIntel, &budget);
  ASSERT_EQ(d.SubIFDs.Count(), 2);
  EXPECT_EQ(d.SubIFDs[0]->ThumbDataStream.Size(), 4096);
  EXPECT_TRUE(d.SubIFDs[1]->ThumbDataStream.Empty());
  EXPECT_EQ(budget.value_bytes, 100);
}

TEST(TifIfdTest, SubIfdsThatNestForeverAreBounded) {
  // A sub-directory whose SubIFDs tag points back at the directory that holds it.
  TiffWriter w;
  const int a = w.NewIfd();
  const int b = w.NewIfd();
  w.AddSubIfds(a, {b, b, b, b});
  w.AddSubIfds(b, {a, a, a, a});
  TTifIFD d;
  ReadAt(d, w.Build(), 8, tboIntel);
  EXPECT_GT(d.SubIFDs.Count(), 0);
}

TEST(TifIfdTest, ThumbnailIsCopiedOnlyWhenItIsJpegOrTiffAndFits) {
  struct Case {
    std::string blob;
    int64_t trim;
    bool copied;
  };
  const Case cases[] = {
      {"\xFF\xD8\xFF\xE0 jpeg data", 0, true},
      {"II*\0 tiff data", 0, true},
      {"GIF89a", 0, false},
      {"\xFF\xD8\xFF\xE0 jpeg data", 1, false},  // one byte past the end of the stream
  };
  for (const Case& c : cases) {
    TiffWriter w;
    const int ifd = w.NewIfd();
    w.AddBlob(ifd, 513, 514, c.blob);
    std::string bytes = w.Build();
    bytes.resize(bytes.size() - static_cast<size_t>(c.trim));
    TTifIFD d;
    ReadAt(d, bytes, 8, tboIntel);
    EXPECT_EQ(!d.ThumbDataStream.Empty(), c.copied) << c.blob;
    if (c.copied) {
      EXPECT_EQ(d.ThumbDataStream.View(), c.blob);
    }
  }
}

TEST(TifIfdTest, ThumbnailSkippedOnRequest) {
  TiffWriter w;
  const int ifd = w.NewIfd();
  w.AddBlob(ifd, 513, 514, "\xFF\xD8 jpeg");
  TTifIFD d;
  ReadAt(d, w.Build(), 8, tboIntel, true);
  EXPECT_TRUE(d.ThumbDataStream.Empty());
}

TEST(TifIfdTest, BuildStripsPairsOffsetsWithCounts) {
  TiffWriter w;
  const int ifd = w.NewIfd();
  w.Add(ifd, 273, TiffWriter::kLong, {100, 200});
  w.Add(ifd, 279, TiffWriter::kLong, {10, 20});
  TTifIFD d;
  ReadAt(d, w.Build(), 8, tboIntel);
  d.BuildStrips("f");
  ASSERT_TRUE(d.Strips);
  ASSERT_EQ(d.Strips->Count(), 2);
  EXPECT_EQ((*d.Strips)[1]->ValueOffset, 200);
  EXPECT_EQ((*d.Strips)[1]->Components, 20);
  EXPECT_EQ(d.ImageDataType, tidtStriped);

  TiffWriter tiled;
  const int t = tiled.NewIfd();
  tiled.Add(t, 324, TiffWriter::kLong, {64});
  tiled.Add(t, 325, TiffWriter::kLong, {32});
  TTifIFD td;
  ReadAt(td, tiled.Build(), 8, tboIntel);
  td.BuildStrips("f");
  ASSERT_TRUE(td.Strips);
  EXPECT_EQ(td.ImageDataType, tidtTiled);

  TiffWriter planar;
  const int p = planar.NewIfd();
  planar.Add(p, 284, TiffWriter::kShort, {3});
  planar.Add(p, 273, TiffWriter::kLong, {64});
  planar.Add(p, 279, TiffWriter::kLong, {32});
  TTifIFD pd;
  ReadAt(pd, planar.Build(), 8, tboIntel);
  pd.BuildStrips("f");
  EXPECT_FALSE(pd.Strips);
}

TEST(TifIfdTest, AssignCopiesTagsSubDirectoriesAndThumbnail) {
  TTifIFD source;
  source.Name = "Exif";
  TTifTag* tag = source.Tags.Add();
  tag->TagNumber = 271;
  tag->DataFormat = tdfAsciiString;
  tag->SetValue("NIKON");
  source.SubIFDs.Add()->Tags.Add()->TagNumber = 5;
  source.ThumbDataStream.Write("\xFF\xD8", 2);
  TTifIFD copy;
  copy.Assign(source);
  EXPECT_EQ(copy.Name, "Exif");
  ASSERT_EQ(copy.Tags.Count(), 1);
  EXPECT_EQ(copy.Tags[0]->GetValue().AsText(), "NIKON");
  EXPECT_EQ(copy.Tags[0]->DictionaryKinds(), ikExif);
  EXPECT_EQ(copy.SubIFDs[0]->Tags[0]->TagNumber, 5);
  EXPECT_EQ(copy.ThumbDataStream.Size(), 2);
  source.Clear();
  EXPECT_EQ(copy.Tags.Count(), 1);
  EXPECT_EQ(source.SubIFDs.Count(), 1);  // Clear keeps the sub-directories
}

}  // namespace
}  // namespace morvane
