// Request benchmarks on fixed inputs: a cache hit for a 256-pixel thumbnail, a cache miss for the
// 3008 x 2000 NEF preview at 256 pixels (the thumbnail made and stored), and the info tip of a
// NEF with Nikon maker notes, the file in the page cache.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/bench_fixtures.h"
#include "presentation/info_tip.h"
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

BENCHMARK(BM_CacheHit256)->Unit(benchmark::kMicrosecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_CacheMiss256)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_ComposeInfoTipNef)->Unit(benchmark::kMicrosecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace morvane
