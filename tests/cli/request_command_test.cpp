// The program's thumbnail requests through the per-user cache, with real processes: paths that
// need care, a damaged cache, and several processes sharing one cache.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

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

}  // namespace
}  // namespace morvane
