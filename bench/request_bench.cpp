// Request benchmarks on fixed inputs: a cache hit for a 256-pixel thumbnail, a cache miss for the
// 3008 x 2000 NEF preview at 256 pixels (the thumbnail made and stored), and the info tip of a
// NEF with Nikon maker notes, the file in the page cache, in process and as a whole program run.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <memory>

#include "bench/bench_fixtures.h"
#include "shellext/info_tip_request.h"
#include "shellext/module.h"
#include "support/sample_nef.h"

namespace morvane {
namespace {

constexpr int kRepetitions = 5;

void BM_CacheHit256(benchmark::State& state) {
  testing::TempDir cache;
  TSxModule1 module(cache.Path() + "/");
  {
    TBitmap first;
    module.ThumbnailRequest(BenchFixtures().Nef, 256, 256, first);
  }
  for (auto _ : state) {
    TBitmap bitmap;
    TRequestReport report;
    module.ThumbnailRequest(BenchFixtures().Nef, 256, 256, bitmap, &report);
    if (!report.FromCache) state.SkipWithError("not a cache hit");
    benchmark::DoNotOptimize(bitmap.Raster().ScanLine(0));
  }
}

void BM_CacheMiss256(benchmark::State& state) {
  for (auto _ : state) {
    // Each round has an empty cache of its own, made outside the timing.
    state.PauseTiming();
    auto cache = std::make_unique<testing::TempDir>();
    auto module = std::make_unique<TSxModule1>(cache->Path() + "/");
    TBitmap bitmap;
    TRequestReport report;
    state.ResumeTiming();
    module->ThumbnailRequest(BenchFixtures().Nef, 256, 256, bitmap, &report);
    state.PauseTiming();
    if (report.FromCache || !report.WrittenBack) state.SkipWithError("not a cache miss");
    module.reset();
    cache.reset();
    state.ResumeTiming();
  }
}

void BM_ComposeInfoTipNef(benchmark::State& state) {
  const std::string path = BenchFixtures().Dir.Write("tip.nef", testing::BuildSampleNef());
  ComposeInfoTip(path);  // into the page cache
  for (auto _ : state) benchmark::DoNotOptimize(ComposeInfoTip(path));
}

// The whole program: `morvane info` on the NEF, process start to exit, wall time.
void BM_InfoCommand(benchmark::State& state) {
  const std::string path = BenchFixtures().Dir.Write("command.nef", testing::BuildSampleNef());
  char* const argv[] = {const_cast<char*>(MORVANE_CLI_PATH), const_cast<char*>("info"),
                        const_cast<char*>(path.c_str()), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  for (auto _ : state) {
    pid_t pid = 0;
    if (posix_spawn(&pid, MORVANE_CLI_PATH, &actions, nullptr, argv, environ) != 0) {
      state.SkipWithError("cannot start the program");
      break;
    }
    int status = 0;
    waitpid(pid, &status, 0);
  }
  posix_spawn_file_actions_destroy(&actions);
}

BENCHMARK(BM_CacheHit256)->Unit(benchmark::kMicrosecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_CacheMiss256)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_ComposeInfoTipNef)->Unit(benchmark::kMicrosecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_InfoCommand)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(kRepetitions)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace morvane
