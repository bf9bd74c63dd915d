// The cache database: schema, lookups, write-back, damaged files and several processes.
#include "cache/thumb_cache.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>

#include "cache/file_stamp.h"
#include "platform/guid.h"
#include "support/cache_query.h"
#include "support/temp_file.h"

namespace morvane {
namespace {

using testing::QueryColumn;
using testing::TempDir;

TCacheRow Row(const std::string& name, double size, double stamp, std::string thumb = "jpeg") {
  return {GuidToString(NewGuid()), name, size, stamp, std::vector<uint8_t>(thumb.begin(), thumb.end())};
}

TEST(ThumbCacheTest, CreatesTheFolderAndTheSchemaOnce) {
  TempDir dir;
  const std::string folder = dir.Path() + "/a/b/Morvane/";
  TThumbCache cache(folder);
  EXPECT_EQ(cache.DatabaseFileName(), folder + "mrvThumbs.db");
  // SQLite keeps the statements' text, with their first two words in capitals.
  EXPECT_EQ(QueryColumn(cache.DatabaseFileName(), "select sql from sqlite_master where sql is not null order by name"),
            (std::vector<std::string>{"CREATE INDEX idxmrvThumbsFileName on mrvThumbs (FileName)",
                                      "CREATE TABLE mrvThumbs (GUID TEXT(50) PRIMARY KEY, FileName TEXT(255), "
                                      "FileSize NUMERIC, FileStamp DATE, Thumb BLOB)"}));
  TThumbCache again(folder);  // an existing file is taken as it is
  EXPECT_TRUE(again.FindRows("x").empty());
}

TEST(ThumbCacheTest, StoresFindsAndUpdatesRows) {
  TempDir dir;
  TThumbCache cache(dir.Path() + "/");
  const std::string path = "/photos/Bob's photos/a b.nef";
  const TCacheRow row = Row(path, 12345, 36526.5);
  cache.StoreRow(row, true, row);
  auto rows = cache.FindRows(path);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].GUID, row.GUID);
  EXPECT_EQ(rows[0].FileSize, 12345);
  EXPECT_EQ(rows[0].FileStamp, 36526.5);
  EXPECT_EQ(rows[0].Thumb, row.Thumb);
  EXPECT_TRUE(cache.FindRows("/photos/bob's photos/a b.nef").empty());  // letter case counts

  TCacheRow newer = rows[0];
  newer.FileSize = 999;
  newer.Thumb = {1, 2, 3};
  cache.StoreRow(newer, false, rows[0]);
  rows = cache.FindRows(path);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].GUID, row.GUID);
  EXPECT_EQ(rows[0].FileSize, 999);

  // The row changed under us (another process): the update writes nothing.
  TCacheRow stale_read = row;
  TCacheRow lost = row;
  lost.FileSize = 1;
  cache.StoreRow(lost, false, stale_read);
  EXPECT_EQ(cache.FindRows(path)[0].FileSize, 999);

  const std::string high = "/fotos/\xC3\xA9t\xC3\xA9/\xFF.nef";
  cache.StoreRow(Row(high, 1, 2), true, Row(high, 1, 2));
  EXPECT_EQ(cache.FindRows(high).size(), 1u);
}

TEST(ThumbCacheTest, ADamagedDatabaseFailsEveryLookupAndIsLeftAlone) {
  TempDir dir;
  const std::string garbage(4096, 'g');
  const std::string file = dir.Write("mrvThumbs.db", garbage);
  TThumbCache cache(dir.Path() + "/");
  EXPECT_THROW(cache.FindRows("a"), ECacheError);
  cache.StoreRow(Row("a", 1, 1), true, Row("a", 1, 1));
  EXPECT_EQ(testing::ReadFileBytes(file), garbage);

  TempDir other;
  sqlite3* db = nullptr;
  sqlite3_open((other.Path() + "/mrvThumbs.db").c_str(), &db);
  sqlite3_exec(db, "create table unrelated (x)", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  TThumbCache no_table(other.Path() + "/");
  EXPECT_THROW(no_table.FindRows("a"), ECacheError);
}

TEST(ThumbCacheTest, SeveralProcessesWriteWithoutLosingRows) {
  TempDir dir;
  const std::string folder = dir.Path() + "/shared/";
  constexpr int kProcesses = 6;
  constexpr int kRows = 40;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t pid = fork();
    if (pid == 0) {
      int failures = 0;
      try {
        TThumbCache cache(folder);  // all of them may create the file at once
        for (int r = 0; r < kRows; ++r) {
          const std::string name = "/p" + std::to_string(p) + "/" + std::to_string(r);
          cache.StoreRow(Row(name, r, r), true, Row(name, r, r));
          if (cache.FindRows(name).size() != 1) ++failures;
        }
      } catch (...) {
        failures = 100;
      }
      _exit(failures);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  EXPECT_EQ(QueryColumn(folder + "mrvThumbs.db", "select count(*) from mrvThumbs"),
            std::vector<std::string>{std::to_string(kProcesses * kRows)});
}

TEST(FileStampTest, FormsTheCacheCompares) {
  const char* old_tz = std::getenv("TZ");
  const std::string saved = old_tz != nullptr ? old_tz : "";
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_DOUBLE_EQ(CacheFileStamp(946728000), 36526.5);       // 2000-01-01 12:00:00
  EXPECT_DOUBLE_EQ(CacheFileStamp(946728001), 36526.5);       // 2-second steps
  EXPECT_DOUBLE_EQ(CacheFileStamp(0), CacheFileStamp(315532800));  // before 1980: clamped
  EXPECT_DOUBLE_EQ(CacheFileStamp(int64_t{5000000000}), CacheFileStamp(int64_t{6000000000}));  // after 2107
  EXPECT_GT(CacheFileStamp(int64_t{5000000000}), 75000);
  if (old_tz != nullptr) setenv("TZ", saved.c_str(), 1); else unsetenv("TZ");
  tzset();
  EXPECT_EQ(CacheFileSize(12345), 12345);
  EXPECT_EQ(CacheFileSize(0xFFFFFFFFull), -1);
  EXPECT_EQ(CacheFileSize(0x100000005ull), 5);
}

TEST(GuidTest, RegistryForm) {
  const TGuid g = NewGuid();
  const std::string text = GuidToString(g);
  EXPECT_EQ(text.size(), 38u);
  EXPECT_EQ(GuidFromString(text), g);
  EXPECT_NE(GuidToString(NewGuid()), text);
  EXPECT_EQ(GuidToString(*GuidFromString("{bb2e617c-0920-11d1-9a0b-00c04fc2d6c1}")),
            "{BB2E617C-0920-11D1-9A0B-00C04FC2D6C1}");
  EXPECT_FALSE(GuidFromString("{BB2E617C-0920-11D1-9A0B-00C04FC2D6C}"));
}

}  // namespace
}  // namespace morvane
