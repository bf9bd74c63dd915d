// Thumbnail benchmarks on fixed inputs: a 3008 x 2000 photo-like preview inside a NEF (as a
// sub-directory thumbnail) and inside a CR2 (as the first strip). Measured: the bare libjpeg
// decode of that preview, MakeThumbnail at 96, 256 and 1024 pixels, the ratio of the two,
// the scanner over 50 MB without any JPEG, and the peak memory of one thumbnail.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "bench/bench_fixtures.h"
#include "platform/stream.h"
#include "support/jpeg_fixture.h"
#include "support/raw_fixture.h"
#include "support/temp_file.h"
#include "support/tiff_writer.h"
#include "thumbnail/embedded_scan.h"
#include "thumbnail/thumbnail_maker.h"

namespace morvane {
namespace {

using TFixtures = TBenchFixtures;
TFixtures& Fixtures() { return BenchFixtures(); }

// libjpeg alone: every scan line of the preview into one image buffer.
void BareDecode(const std::string& jpeg, std::vector<uint8_t>& pixels) {
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(jpeg.data()), static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&info);
  const size_t stride = static_cast<size_t>(info.output_width) * 3;
  pixels.resize(stride * info.output_height);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = pixels.data() + stride * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
}

void MakeOne(const std::string& path, int size) {
  TBitmap bitmap;
  TMemoryStream stream;
  if (!TMRV().MakeThumbnail(path, size, size, bitmap, &stream)) std::abort();
  benchmark::DoNotOptimize(stream.Size());
}

void BM_BareDecode(benchmark::State& state) {
  std::vector<uint8_t> pixels;
  for (auto _ : state) {
    BareDecode(Fixtures().Preview, pixels);
    benchmark::DoNotOptimize(pixels.data());
  }
}

void BM_MakeThumbnailNef(benchmark::State& state) {
  for (auto _ : state) MakeOne(Fixtures().Nef, static_cast<int>(state.range(0)));
}

void BM_MakeThumbnailCr2(benchmark::State& state) {
  for (auto _ : state) MakeOne(Fixtures().Cr2, static_cast<int>(state.range(0)));
}

void BM_MakeThumbnailCr3(benchmark::State& state) {
  for (auto _ : state) MakeOne(Fixtures().Cr3, static_cast<int>(state.range(0)));
}

void BM_MakeThumbnailRw2(benchmark::State& state) {
  for (auto _ : state) MakeOne(Fixtures().Rw2, static_cast<int>(state.range(0)));
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// MakeThumbnail at a size against the bare decode of its preview, timed in turns so that both
// see the same machine state; in wall-clock time and, for a machine shared with other work, in
// the thread's CPU time. On the CR2, whose only preview is the 3008 x 2000 JPEG, the ratio
// measures the decoding at every size; the NEF also holds a 160 x 120 image.
void BM_Ratio(benchmark::State& state, const std::string& path) {
  const int size = static_cast<int>(state.range(0));
  std::vector<uint8_t> pixels;
  std::vector<double> decode, make, decode_cpu, make_cpu;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    const double c0 = ThreadCpuMs();
    BareDecode(Fixtures().Preview, pixels);
    const auto t1 = std::chrono::steady_clock::now();
    const double c1 = ThreadCpuMs();
    MakeOne(path, size);
    const auto t2 = std::chrono::steady_clock::now();
    const double c2 = ThreadCpuMs();
    decode.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    make.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
    decode_cpu.push_back(c1 - c0);
    make_cpu.push_back(c2 - c1);
  }
  state.counters["decode_ms"] = Median(decode);
  state.counters["make_ms"] = Median(make);
  state.counters["ratio"] = Median(make) / Median(decode);
  state.counters["cpu_ratio"] = Median(make_cpu) / Median(decode_cpu);
}

void BM_ScanWithoutJpeg(benchmark::State& state) {
  TFileStream warm(Fixtures().NoJpeg);
  std::vector<char> sink(1 << 20);
  while (warm.Read(sink.data(), sink.size()) > 0) {
  }
  for (auto _ : state) {
    TFileStream stream(Fixtures().NoJpeg);
    TJpegGraphic image;
    benchmark::DoNotOptimize(FindEmbeddedJpeg(stream, kScanMinPixels, image));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * (50 << 20));
}

// The growth of the peak resident size while one thumbnail is made, in a child process so that
// nothing measured before counts, against the size of the decoded preview.
void BM_PeakMemory(benchmark::State& state, const std::string& path) {
  double peak_mb = 0;
  for (auto _ : state) {
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) std::abort();
    const pid_t child = fork();
    if (child == 0) {
      rusage before{}, after{};
      getrusage(RUSAGE_SELF, &before);
      MakeOne(path, static_cast<int>(state.range(0)));
      getrusage(RUSAGE_SELF, &after);
      const long grown_kb = after.ru_maxrss - before.ru_maxrss;
      if (write(pipe_ends[1], &grown_kb, sizeof grown_kb) != sizeof grown_kb) _exit(1);
      _exit(0);
    }
    long grown_kb = 0;
    if (read(pipe_ends[0], &grown_kb, sizeof grown_kb) != sizeof grown_kb) std::abort();
    waitpid(child, nullptr, 0);
    close(pipe_ends[0]);
    close(pipe_ends[1]);
    peak_mb = std::max(peak_mb, grown_kb / 1024.0);
  }
  const double decoded_mb = kPreviewWidth * kPreviewHeight * 3 / (1024.0 * 1024.0);
  state.counters["peak_MB"] = peak_mb;
  state.counters["decoded_MB"] = decoded_mb;
  state.counters["peak_per_decoded"] = peak_mb / decoded_mb;
}

constexpr int kRepetitions = 7;

BENCHMARK(BM_BareDecode)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_MakeThumbnailNef)->Arg(96)->Arg(256)->Arg(1024)->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_MakeThumbnailCr2)->Arg(96)->Arg(256)->Arg(1024)->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_MakeThumbnailCr3)->Arg(96)->Arg(256)->Arg(1024)->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_MakeThumbnailRw2)->Arg(256)->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_Ratio, Nef, Fixtures().Nef)->Arg(256)->Iterations(21)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Ratio, Cr2, Fixtures().Cr2)->Arg(96)->Arg(256)->Arg(1024)->Iterations(21)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanWithoutJpeg)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_PeakMemory, Nef, Fixtures().Nef)->Arg(256)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PeakMemory, Cr2, Fixtures().Cr2)->Arg(256)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvane

// `morvane_bench --write-fixture FILE` writes the CR2 fixture (its only preview the 3008 x 2000
// JPEG) for whole-process comparisons and exits; any other command line runs the benchmarks.
int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--write-fixture") {
    std::ifstream in(morvane::BenchFixtures().Cr2, std::ios::binary);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << in.rdbuf();
    return out ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
