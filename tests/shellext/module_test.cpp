// The thumbnail request through the cache: hit, stale, fresh but empty, a picture too small for
// the request, several rows, the 80-pixel write-back rule, the logo, a missing file and damaged
// caches.
#include "shellext/module.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <utime.h>

#include "cache/file_stamp.h"
#include "platform/guid.h"
#include "support/jpeg_fixture.h"
#include "support/temp_file.h"
#include "support/tiff_writer.h"

namespace morvane {
namespace {

using testing::TempDir;

std::string NefWithPreview(int width = 600, int height = 400) {
  testing::TiffWriter writer;
  const int ifd0 = writer.NewIfd();
  writer.AddAscii(ifd0, 271, "NIKON CORPORATION");
  const int sub = writer.NewIfd();
  writer.AddBlob(sub, 513, 514, testing::MakeQuadrantJpeg(width, height));
  writer.AddSubIfds(ifd0, {sub});
  return writer.Build();
}

class ModuleTest : public ::testing::Test {
 protected:
  std::string Folder() const { return dir_.Path() + "/cache/"; }
  std::vector<TCacheRow> Rows(const std::string& path) { return module_->Cache().FindRows(path); }
  // Runs a request into a fresh bitmap, which the fixture keeps for inspection.
  TBitmap& Request(const std::string& path, int w, int h, TRequestReport* report = nullptr) {
    bitmaps_.push_back(std::make_unique<TBitmap>());
    module_->ThumbnailRequest(path, w, h, *bitmaps_.back(), report);
    return *bitmaps_.back();
  }
  void SetMtime(const std::string& path, time_t when) {
    utimbuf times{when, when};
    ASSERT_EQ(utime(path.c_str(), &times), 0);
  }

  TempDir dir_;
  std::vector<std::unique_ptr<TBitmap>> bitmaps_;
  std::unique_ptr<TSxModule1> module_ = std::make_unique<TSxModule1>(Folder());
};

TEST_F(ModuleTest, RequestsThroughTheCache) {
  const std::string path = dir_.Write("Bob's photo.nef", NefWithPreview());
  SetMtime(path, 1100000000);

  TRequestReport first;
  TBitmap& bitmap = Request(path, 96, 96, &first);
  EXPECT_FALSE(first.FromCache);
  EXPECT_TRUE(first.WrittenBack);
  EXPECT_EQ(bitmap.Width(), 96);
  auto rows = Rows(path);
  ASSERT_EQ(rows.size(), 1u);
  const TCacheRow made = rows[0];
  EXPECT_EQ(made.FileSize, CacheFileEntry(path)->FileSize);
  EXPECT_EQ(made.FileStamp, CacheFileEntry(path)->FileStamp);
  TJpegGraphic stored;
  TMemoryStream thumb(made.Thumb);
  stored.LoadFromStream(thumb);
  EXPECT_EQ(stored.Width(), 96);
  EXPECT_EQ(stored.Height(), 64);

  TRequestReport second;
  Request(path, 96, 96, &second);
  EXPECT_TRUE(second.FromCache);
  EXPECT_EQ(Rows(path)[0].Thumb, made.Thumb);

  // A cached 96-pixel image serves a 48x48 request, fitted down; nothing is written.
  TRequestReport small;
  TBitmap& icon = Request(path, 48, 48, &small);
  EXPECT_TRUE(small.FromCache);
  EXPECT_EQ(icon.Width(), 48);

  // Touching the file makes the row stale: the same row is rewritten.
  SetMtime(path, 1200000000);
  TRequestReport after_touch;
  Request(path, 128, 128, &after_touch);
  EXPECT_TRUE(after_touch.WrittenBack);
  rows = Rows(path);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].GUID, made.GUID);
  EXPECT_NE(rows[0].FileStamp, made.FileStamp);
  EXPECT_NE(rows[0].Thumb, made.Thumb);
}

TEST_F(ModuleTest, SmallRequestsWriteNothing) {
  const std::string path = dir_.Write("a.nef", NefWithPreview());
  TRequestReport report;
  Request(path, 48, 79, &report);
  EXPECT_EQ(report.Made.Kind, TThumbnailOutcome::tkThumbnail);
  EXPECT_FALSE(report.WrittenBack);
  EXPECT_TRUE(Rows(path).empty());
  Request(path, 80, 20);
  EXPECT_EQ(Rows(path).size(), 1u);
}

TEST_F(ModuleTest, TheCachedPictureFollowsTheRequestedSize) {
  // A row serves the requests its picture covers without enlarging; a larger request rebuilds
  // the picture into the same row, a smaller one is drawn from the larger picture.
  const std::string path = dir_.Write("sizes.nef", NefWithPreview(600, 400));
  struct Step {
    int size;
    bool from_cache;
    bool written;
    TImageSize stored;
  } steps[] = {
      {96, false, true, {96, 64}},    {256, false, true, {256, 171}}, {96, true, false, {256, 171}},
      {48, true, false, {256, 171}},  {256, true, false, {256, 171}}, {1024, false, true, {1024, 683}},
      {512, true, false, {1024, 683}},
  };
  std::string guid;
  for (const Step& step : steps) {
    TRequestReport report;
    TBitmap& bitmap = Request(path, step.size, step.size, &report);
    EXPECT_EQ(report.FromCache, step.from_cache) << step.size;
    EXPECT_EQ(report.WrittenBack, step.written) << step.size;
    const auto rows = Rows(path);
    ASSERT_EQ(rows.size(), 1u) << step.size;
    if (guid.empty()) guid = rows[0].GUID;
    EXPECT_EQ(rows[0].GUID, guid) << step.size;
    TMemoryStream thumb(rows[0].Thumb);
    EXPECT_EQ(TJpegGraphic::ReadSize(thumb), step.stored) << step.size;
    // Whatever it came from, the picture is drawn fitted to the request: the whole width, the
    // window colour above and below it.
    const int top = (step.size - MulDiv(step.size, 400, 600)) / 2;
    EXPECT_NE(bitmap.Raster().PixelColor(step.size - 1, top + 1), GetSysColor(COLOR_WINDOW)) << step.size;
    EXPECT_EQ(bitmap.Raster().PixelColor(step.size - 1, top - 2), GetSysColor(COLOR_WINDOW)) << step.size;
  }
}

TEST_F(ModuleTest, SeveralRowsForOnePathCollapseToOne) {
  const std::string path = dir_.Write("raced.nef", NefWithPreview());
  const auto entry = CacheFileEntry(path);
  auto store = [&](std::vector<uint8_t> thumb, double stamp) {
    TCacheRow row{GuidToString(NewGuid()), path, entry->FileSize, stamp, std::move(thumb)};
    module_->Cache().StoreRow(row, true, row);
    return row.GUID;
  };
  // None serves: the thumbnail is made again into one of the rows, the others go.
  const std::string first = store({1, 2, 3}, entry->FileStamp);
  const std::string second = store({4, 5}, entry->FileStamp - 1);
  TRequestReport report;
  Request(path, 96, 96, &report);
  EXPECT_FALSE(report.FromCache);
  EXPECT_TRUE(report.WrittenBack);
  auto rows = Rows(path);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_TRUE(rows[0].GUID == first || rows[0].GUID == second);
  EXPECT_GT(rows[0].Thumb.size(), 100u);

  // One serves: it is drawn, and the others go.
  const TCacheRow good = rows[0];
  store({9}, entry->FileStamp);
  store(good.Thumb, entry->FileStamp - 1);
  ASSERT_EQ(Rows(path).size(), 3u);
  TRequestReport hit;
  Request(path, 96, 96, &hit);
  EXPECT_TRUE(hit.FromCache);
  rows = Rows(path);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].GUID, good.GUID);
}

TEST_F(ModuleTest, FreshRowWithAnEmptyOrDamagedImageIsRebuiltInPlace) {
  const std::string path = dir_.Write("a.nef", NefWithPreview());
  const auto entry = CacheFileEntry(path);
  for (const std::vector<uint8_t>& bad : {std::vector<uint8_t>{}, std::vector<uint8_t>{0xFF, 0xD8, 0xFF, 0x00, 7}}) {
    TempDir other;
    TSxModule1 module(other.Path() + "/");
    TCacheRow row{GuidToString(NewGuid()), path, entry->FileSize, entry->FileStamp, bad};
    module.Cache().StoreRow(row, true, row);
    TBitmap bitmap;
    TRequestReport report;
    module.ThumbnailRequest(path, 96, 96, bitmap, &report);
    EXPECT_FALSE(report.FromCache);
    EXPECT_TRUE(report.WrittenBack);
    const auto rows = module.Cache().FindRows(path);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].GUID, row.GUID);
    EXPECT_GT(rows[0].Thumb.size(), 100u);
  }
}

TEST_F(ModuleTest, LogoIsBlendedOnEveryThumbnailButNotOnAnEmptyBitmap) {
  const TRgbaImage logo = DecodePng(kLogoPng.data(), kLogoPng.size());
  const std::string nothing = dir_.Write("plain.orf", std::string(4000, 'z'));
  TRequestReport report;
  TBitmap& bitmap = Request(nothing, 96, 96, &report);
  EXPECT_EQ(report.Made.Kind, TThumbnailOutcome::tkNoThumb);
  EXPECT_TRUE(Rows(nothing).empty());
  // Over the white window colour every logo pixel follows the blend formula.
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const uint8_t* p = &logo.Pixels[static_cast<size_t>((y * 16 + x) * 4)];
      const TColor got = bitmap.Raster().PixelColor(x, y);
      ASSERT_EQ(RedOf(got), BlendChannel(p[0], 255, p[3])) << x << "," << y;
      ASSERT_EQ(BlueOf(got), BlendChannel(p[2], 255, p[3])) << x << "," << y;
    }
  }
  EXPECT_EQ(BlendChannel(10, 200, 255), 10);
  EXPECT_EQ(BlendChannel(255, 0, 128), 128);
  EXPECT_EQ(BlendChannel(10, 200, 0), 200);

  TBitmap& none = Request(dir_.Path() + "/missing.nef", 96, 96);
  EXPECT_EQ(none.Width(), 0);
}

TEST(ModuleCacheFailureTest, ADamagedCacheFailsTheRequestAndIsLeftAlone) {
  TempDir dir;
  const std::string garbage(3000, 'q');
  const std::string db = dir.Write("mrvThumbs.db", garbage);
  TSxModule1 module(dir.Path() + "/");
  const std::string path = dir.Write("a.nef", NefWithPreview());
  TBitmap bitmap;
  EXPECT_THROW(module.ThumbnailRequest(path, 96, 96, bitmap), ECacheError);
  EXPECT_EQ(testing::ReadFileBytes(db), garbage);
  // A missing file never reaches the cache.
  TBitmap empty;
  EXPECT_NO_THROW(module.ThumbnailRequest(dir.Path() + "/gone.nef", 96, 96, empty));
}

TEST(ModuleInfoTipTest, ForwardsToTheComposer) {
  TempDir dir;
  TSxModule1 module(dir.Path() + "/");
  std::string tip;
  module.InfoTipGetInfoTip(dir.Write("x.jpg", "abc"), tip);
  EXPECT_EQ(tip, "no exif available\r\n\r\nType: JPG file\r\nSize: 3");
}

}  // namespace
}  // namespace morvane
