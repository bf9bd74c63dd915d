#include "bench/bench_fixtures.h"

#include <algorithm>
#include <cmath>

#include "support/bmff_writer.h"
#include "support/jpeg_fixture.h"
#include "support/raw_fixture.h"
#include "support/tiff_writer.h"

namespace morvane {

namespace {

// Smooth shapes with fine grain, so that the JPEG is as costly to decode as a photograph.
TColor PhotoLikePixel(int x, int y) {
  const double u = x / static_cast<double>(kPreviewWidth), v = y / static_cast<double>(kPreviewHeight);
  const unsigned grain = (static_cast<unsigned>(x) * 2654435761u) ^ (static_cast<unsigned>(y) * 40503u);
  const int noise = static_cast<int>((grain >> 13) % 25) - 12;
  auto channel = [noise](double value) {
    return static_cast<uint8_t>(std::clamp(static_cast<int>(value * 255.0) + noise, 0, 255));
  };
  return MakeColor(channel(0.5 + 0.5 * std::sin(9 * u + 3 * v)), channel(0.5 + 0.4 * std::cos(7 * v - 2 * u)),
                   channel(0.3 + 0.6 * u * v));
}

}  // namespace

TBenchFixtures::TBenchFixtures() {
  Preview = testing::MakeJpeg(kPreviewWidth, kPreviewHeight, PhotoLikePixel);

  testing::TiffWriter nef;
  const int ifd0 = nef.NewIfd();
  testing::AddRgbImage(nef, ifd0, 160, 120);
  const int sub = nef.NewIfd();
  nef.AddBlob(sub, 513, 514, Preview);
  nef.AddSubIfds(ifd0, {sub});
  Nef = Dir.Write("preview.nef", nef.Build());

  testing::TiffWriter cr2;
  cr2.AddBlob(cr2.NewIfd(), 273, 279, Preview);
  Cr2 = Dir.Write("preview.cr2", cr2.Build());

  testing::Cr3Parts cr3;
  cr3.Thumbnail = testing::MakeQuadrantJpeg(160, 120);
  cr3.FullSize = Preview;
  Cr3 = Dir.Write("preview.cr3", testing::BuildCr3(cr3));

  testing::TiffWriter rw2;
  rw2.AddBytes(rw2.NewIfd(), 0x002E, testing::TiffWriter::kUndefined, Preview);
  std::string rw2_bytes = rw2.Build();
  rw2_bytes[2] = 'U';
  Rw2 = Dir.Write("preview.rw2", rw2_bytes);

  std::string bytes(50 << 20, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 131) % 251);
  NoJpeg = Dir.Write("nojpeg.orf", bytes);
}

TBenchFixtures& BenchFixtures() {
  static TBenchFixtures fixtures;
  return fixtures;
}

}  // namespace morvane
