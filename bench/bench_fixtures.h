// The fixed inputs every benchmark measures on, made once per run: a 3008 x 2000 photo-like
// preview, inside a NEF (a sub-directory thumbnail, with Nikon maker notes), a CR2 (the first
// strip), a CR3 (the first track, beside a 160 x 120 THMB) and an RW2 (JpgFromRaw), and a 50 MB
// file holding no JPEG.
#pragma once

#include <string>

#include "support/temp_file.h"

namespace morvane {

inline constexpr int kPreviewWidth = 3008;
inline constexpr int kPreviewHeight = 2000;

struct TBenchFixtures {
  TBenchFixtures();

  testing::TempDir Dir;
  std::string Preview;  // the JPEG bytes
  std::string Nef;      // paths
  std::string Cr2;
  std::string Cr3;
  std::string Rw2;
  std::string NoJpeg;
};

TBenchFixtures& BenchFixtures();

}  // namespace morvane
