// Both requests end to end on damaged files of every format: a thumbnail through the cache and
// an info tip, each within its bytes and with work in proportion to them, with "no thumb",
// "error" or a picture.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "platform/text.h"
#include "presentation/info_tip.h"
#include "shellext/module.h"
#include "support/mutation.h"
#include "support/sample_nef.h"
#include "support/samples.h"
#include "support/temp_file.h"
#include "support/thumbnail_work.h"

namespace morvane {
namespace {

using testing::TempDir;

TEST(HostileRequestsTest, DamagedFilesOfEveryFormat) {
  std::vector<std::pair<std::string, std::string>> seeds = {{".nef", testing::BuildSampleNef()}};
  const std::filesystem::path samples(MORVANE_SAMPLES_DIR);
  std::error_code missing;
  for (const auto& entry : std::filesystem::directory_iterator(samples, missing)) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".md") seeds.emplace_back(ext, testing::ReadFileBytes(entry.path().string()));
  }
  TempDir dir;
  TSxModule1 module(dir.Path() + "/cache/");
  std::mt19937 random(1210);
  int round = 0;
  for (const auto& [ext, seed] : seeds) {
    for (int i = 0; i < 12; ++i, ++round) {
      const std::string path = dir.Write("f" + std::to_string(round % 5) + ext, testing::Mutated(seed, random));
      SCOPED_TRACE(ext + " round " + std::to_string(i));
      TBitmap bitmap;
      TRequestReport report;
      module.ThumbnailRequest(path, 96, 96, bitmap, &report);
      EXPECT_EQ(bitmap.Width(), 96) << path;
      const std::string tip = ComposeInfoTip(path);
      EXPECT_NE(tip.find("\r\nType: " + UpperCase(ext.substr(1)) + " file\r\nSize: "), std::string::npos) << tip;
      testing::ExpectThumbnailWorkWithin(report.Made.Work, static_cast<int64_t>(std::filesystem::file_size(path)));
    }
  }
}

}  // namespace
}  // namespace morvane
