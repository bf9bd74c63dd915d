// The program's thumbnail requests through the per-user cache, with real processes: paths that
// need care, a damaged cache, several processes sharing one cache and racing on the same files,
// and the cache command.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <utime.h>

#include "cli/cli_fixture.h"
#include "support/cache_query.h"
#include "support/run_cli.h"
#include "support/sample_nef.h"
#include "support/temp_file.h"

namespace morvane {
namespace {

using testing::RunCli;
using testing::ShellQuote;
using testing::TempDir;

using testing::CacheEnv;
using testing::CacheRowCount;

TEST(RequestCommandTest, PathsThatNeedCareAreFoundAgain) {
  TempDir dir;
  const std::string sample = testing::BuildSampleNef();
  for (const char* name : {"Bob's photo.nef", "two  spaces.nef", "caf\xC3\xA9 \xE6\x97\xA5.nef"}) {
    const std::string file = ShellQuote(dir.Write(name, sample));
    const std::string out = ShellQuote(dir.Path() + "/t.png");
    EXPECT_EQ(RunCli("thumb " + file + " -o " + out + " --size 96", CacheEnv(dir)).out, "thumbnail 96x64\n") << name;
    EXPECT_EQ(RunCli("thumb " + file + " -o " + out + " --size 96", CacheEnv(dir)).out, "cached thumbnail\n") << name;
  }
  EXPECT_EQ(CacheRowCount(dir), 3);
}

TEST(RequestCommandTest, ADamagedCacheIsAClearFailureAndIsLeftAlone) {
  TempDir dir;
  const std::string garbage(5000, 'g');
  std::string folder = dir.Path() + "/cache/Morvane";
  std::filesystem::create_directories(folder);
  const std::string db = folder + "/mrvThumbs.db";
  {
    std::FILE* f = std::fopen(db.c_str(), "wb");
    std::fwrite(garbage.data(), 1, garbage.size(), f);
    std::fclose(f);
  }
  const std::string file = ShellQuote(dir.Write("a.nef", testing::BuildSampleNef()));
  const auto r = RunCli("thumb " + file + " -o " + ShellQuote(dir.Path() + "/t.png"), CacheEnv(dir));
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_NE(r.err.find("Thumbnail cache"), std::string::npos);
  EXPECT_EQ(testing::ReadFileBytes(db), garbage);
  EXPECT_FALSE(std::filesystem::exists(dir.Path() + "/t.png"));
}

TEST(RequestCommandTest, SeveralProcessesShareOneCache) {
  TempDir dir;
  const std::string sample = testing::BuildSampleNef();
  constexpr int kProcesses = 6;
  constexpr int kFilesEach = 5;
  std::string script;
  for (int p = 0; p < kProcesses; ++p) {
    script += "(";
    for (int f = 0; f < kFilesEach; ++f) {
      const std::string file = dir.Write("p" + std::to_string(p) + "_" + std::to_string(f) + ".nef", sample);
      script += ShellQuote(MORVANE_CLI_PATH) + " thumb " + ShellQuote(file) + " -o " +
                ShellQuote(dir.Path() + "/o" + std::to_string(p) + ".png") + " --size 96 >>" +
                ShellQuote(dir.Path() + "/out" + std::to_string(p)) + " 2>&1 || echo FAILED >>" +
                ShellQuote(dir.Path() + "/out" + std::to_string(p)) + "; ";
    }
    script += ") & ";
  }
  script += "wait";
  const std::string command = CacheEnv(dir) + " bash -c " + ShellQuote(script);
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (int p = 0; p < kProcesses; ++p) {
    const std::string out = testing::ReadFileBytes(dir.Path() + "/out" + std::to_string(p));
    EXPECT_EQ(out.find("FAILED"), std::string::npos) << out;
    EXPECT_EQ(out.find("locked"), std::string::npos) << out;
  }
  EXPECT_EQ(CacheRowCount(dir), kProcesses * kFilesEach);
}

TEST(RequestCommandTest, ProcessesRacingOnTheSameFilesLeaveOneRowEach) {
  TempDir dir;
  const std::string sample = testing::BuildSampleNef();
  constexpr int kProcesses = 4;
  constexpr int kRounds = 2;
  const std::vector<std::string> files = {dir.Write("a.nef", sample), dir.Write("b.nef", sample),
                                          dir.Write("c.nef", sample)};
  std::string script;
  for (int p = 0; p < kProcesses; ++p) {
    const std::string out = ShellQuote(dir.Path() + "/out" + std::to_string(p));
    script += "(";
    for (int round = 0; round < kRounds; ++round)
      for (const char* size : {"96", "512", "256"})
        for (const std::string& file : files)
          script += ShellQuote(MORVANE_CLI_PATH) + " thumb " + ShellQuote(file) + " -o " +
                    ShellQuote(dir.Path() + "/o" + std::to_string(p) + ".png") + " --size " + size + " >>" + out +
                    " 2>&1 || echo FAILED >>" + out + "; ";
    script += ") & ";
  }
  script += "wait";
  ASSERT_EQ(std::system((CacheEnv(dir) + " bash -c " + ShellQuote(script)).c_str()), 0);
  for (int p = 0; p < kProcesses; ++p) {
    const std::string out = testing::ReadFileBytes(dir.Path() + "/out" + std::to_string(p));
    EXPECT_EQ(out.find("FAILED"), std::string::npos) << out;
  }
  const std::string db = dir.Path() + "/cache/Morvane/mrvThumbs.db";
  EXPECT_EQ(testing::QueryColumn(db, "select count(*) from mrvThumbs group by FileName"),
            (std::vector<std::string>{"1", "1", "1"}));
  EXPECT_EQ(testing::QueryColumn(db, "pragma integrity_check"), std::vector<std::string>{"ok"});
  // The rows hold the largest picture asked for, so every size up to it is served.
  for (const std::string& file : files)
    for (const char* size : {"96", "512"})
      EXPECT_EQ(RunCli("thumb " + ShellQuote(file) + " -o " + ShellQuote(dir.Path() + "/t.png") + " --size " + size,
                       CacheEnv(dir)).out,
                "cached thumbnail\n")
          << file << " " << size;
}

TEST(RequestCommandTest, CachePruneDeletesTheRowsOfGoneAndChangedFilesOnly) {
  TempDir dir;
  const std::string sample = testing::BuildSampleNef();
  const std::string kept = dir.Write("kept.nef", sample), moved = dir.Write("moved.nef", sample),
                    deleted = dir.Write("deleted.nef", sample), touched = dir.Write("touched.nef", sample);
  const std::string out = ShellQuote(dir.Path() + "/t.png");
  for (const std::string& file : {kept, moved, deleted, touched})
    ASSERT_EQ(RunCli("thumb " + ShellQuote(file) + " -o " + out + " --size 96", CacheEnv(dir)).exit_code, 0);
  std::filesystem::rename(moved, dir.Path() + "/elsewhere.nef");
  std::filesystem::remove(deleted);
  utimbuf times{1200000000, 1200000000};
  ASSERT_EQ(utime(touched.c_str(), &times), 0);

  const auto stats = RunCli("cache stats", CacheEnv(dir));
  EXPECT_EQ(stats.exit_code, 0) << stats.err;
  EXPECT_NE(stats.out.find("rows 4\n"), std::string::npos) << stats.out;
  EXPECT_NE(stats.out.find("stale rows 3\n"), std::string::npos) << stats.out;

  const auto prune = RunCli("cache prune", CacheEnv(dir));
  EXPECT_EQ(prune.exit_code, 0) << prune.err;
  EXPECT_NE(prune.out.find("deleted 3 rows\n"), std::string::npos) << prune.out;
  EXPECT_NE(prune.out.find("rows 1\n"), std::string::npos) << prune.out;
  EXPECT_NE(prune.out.find("stale rows 0\n"), std::string::npos) << prune.out;
  EXPECT_EQ(RunCli("thumb " + ShellQuote(kept) + " -o " + out + " --size 96", CacheEnv(dir)).out, "cached thumbnail\n");
  EXPECT_EQ(RunCli("cache", CacheEnv(dir)).exit_code, 2);
}

}  // namespace
}  // namespace morvane
