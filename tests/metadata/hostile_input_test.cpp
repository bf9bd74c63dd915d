// Damaged and hostile files: every one must open silently, within its bytes and with work in
// proportion to them.
// The sanitizer build turns any stray read into a failure here.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "metadata/cr3_reader.h"
#include "metadata/tif_reader.h"
#include "platform/text.h"
#include "support/bmff_writer.h"
#include "support/sample_nef.h"
#include "support/mutation.h"
#include "support/samples.h"
#include "support/temp_file.h"
#include "support/tiff_writer.h"

namespace morvane {
namespace {

using testing::TempDir;
using testing::TiffWriter;

// The work a walk over `size` bytes may do: its directories and the value bytes it copies.
void ExpectWorkWithinBudget(const TTif& tif, int64_t size) {
  EXPECT_LE(tif.Work.Directories, kMaxDirectoriesPerWalk);
  EXPECT_LE(tif.Work.ValueBytes, TWalkBudget(size).value_bytes);
}

void OpenEveryWay(const std::string& path) {
  const auto size = static_cast<int64_t>(std::filesystem::file_size(path));
  for (int mode = 0; mode < 3; ++mode) {
    TTif tif;
    tif.FileName = path;
    TTifTags filter;
    if (mode == 1) tif.MaxValueSize = 512;
    if (mode == 2) {
      for (int tag : {34665, 271, 272, 306, 37500, 34855}) filter.Add()->TagNumber = tag;
      tif.TagFilter = &filter;
    }
    tif.Open(true, mode == 1);
    ExpectWorkWithinBudget(tif, size);
    tif.GetThumbnailStream();
    for (const auto& ifd : tif.IFDs) ifd->BuildStrips(path);
  }
}

TEST(HostileInputTest, MutatedFilesOpenQuietlyWithBoundedWork) {
  TempDir dir;
  std::vector<std::string> seeds = {testing::BuildSampleNef()};
  for (const char* name : {"Nikon.nef", "CanonRaw.cr2", "DNG.dng", "Minolta.mrw", "Olympus2.jpg",
                           "FujiFilm.jpg", "Sanyo.jpg"}) {
    const std::string path = testing::SamplePath(name);
    if (FileExists(path)) seeds.push_back(testing::ReadFileBytes(path));
  }
  std::mt19937 random(20261210);
  for (const std::string& seed : seeds) {
    for (int round = 0; round < 150; ++round) {
      const std::string path = dir.Write("m" + std::to_string(round % 3) + ".nef", testing::Mutated(seed, random));
      SCOPED_TRACE(round);
      OpenEveryWay(path);
    }
  }
}

// Box files and RW2: damaged sizes, types and track tables, opened by name and by content.
TEST(HostileInputTest, MutatedBoxFilesOpenQuietlyWithPicturesInsideTheFile) {
  TempDir dir;
  testing::Cr3Parts parts;
  TiffWriter block;
  const int ifd = block.NewIfd();
  block.AddAscii(ifd, 271, "Canon");
  block.Add(ifd, 33434, TiffWriter::kRational, {1, 80});
  parts.Cmt1 = parts.Cmt2 = parts.Cmt3 = parts.Cmt4 = block.Build();
  parts.Thumbnail = parts.Preview = parts.FullSize = "\xFF\xD8 picture";
  std::vector<std::pair<std::string, std::string>> seeds = {{".cr3", testing::BuildCr3(parts)}};
  parts.LargeMedia = parts.ShortOffsets = true;
  seeds.emplace_back(".cr3", testing::BuildCr3(parts));
  for (const char* name : {"CanonRaw.cr3", "Panasonic.rw2"}) {
    const std::string path = testing::SamplePath(name);
    if (FileExists(path)) seeds.emplace_back(ExtractFileExt(path), testing::ReadFileBytes(path));
  }
  std::mt19937 random(20261211);
  for (const auto& [extension, seed] : seeds) {
    for (int round = 0; round < 150; ++round) {
      const std::string bytes = testing::Mutated(seed, random);
      const std::string path = dir.Write("b" + std::to_string(round % 2) + (round % 2 ? extension : ".raw"), bytes);
      SCOPED_TRACE(round);
      OpenEveryWay(path);
      TMemoryStream stream(bytes);
      const TCr3Pictures pictures = FindCr3Pictures(stream);
      for (const auto& picture : {pictures.Thumbnail, pictures.Preview, pictures.FullSize})
        if (picture) {
          EXPECT_LE(picture->Offset + picture->Size, stream.Size());
        }
    }
  }
}

TEST(HostileInputTest, ManyEntriesPointingAtTheSameLargeValue) {
  // 100 entries per directory, each claiming the same 1 MB block, in 129 chained sub-directories:
  // copies are limited by what the file holds.
  TiffWriter w;
  const int ifd0 = w.NewIfd();
  const int sub = w.NewIfd();
  w.AddSubIfds(ifd0, {sub});
  for (uint16_t t = 0; t < 99; ++t) w.AddRaw(sub, static_cast<uint16_t>(1000 + t), TiffWriter::kUndefined, 1 << 20, 8);
  std::string bytes = w.Build();
  const uint32_t sub_pos = 8 + 2 + 12 + 4;
  const uint32_t next_field = sub_pos + 2 + 12 * 99;
  for (int k = 0; k < 4; ++k) bytes[next_field + k] = static_cast<char>(sub_pos >> (8 * k));
  bytes.resize(bytes.size() + (1 << 20), 'x');
  TempDir dir;
  TTif tif;
  tif.FileName = dir.Write("wide.nef", bytes);
  tif.Open(true, false);
  ASSERT_EQ(tif.IFDs.Count(), 1);
  // IFD0 and the sub-directory chain up to its bound.
  EXPECT_LE(tif.Work.Directories, 1 + kMaxSubIFDChain + 1);
  ExpectWorkWithinBudget(tif, static_cast<int64_t>(bytes.size()));
  int64_t loaded = 0;
  for (const auto& d : tif.IFDs[0]->SubIFDs)
    for (const auto& t : d->Tags) loaded += t->DataStream.Size();
  EXPECT_LE(loaded, 3 * static_cast<int64_t>(bytes.size()));
}

TEST(HostileInputTest, TruncatedRealFilesAtEveryFewBytes) {
  TempDir dir;
  const std::string sample = testing::BuildSampleNef();
  const size_t step = std::max<size_t>(7, sample.size() / 400);
  for (size_t size = 8; size < sample.size(); size += step) OpenEveryWay(dir.Write("t.nef", sample.substr(0, size)));
}

}  // namespace
}  // namespace morvane
