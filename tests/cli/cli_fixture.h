// What the program's tests share: a thumbnail cache in the test's own folder, its row count,
// and a NEF whose preview is a large JPEG.
#pragma once

#include <cstdlib>
#include <string>

#include "support/cache_query.h"
#include "support/jpeg_fixture.h"
#include "support/raw_fixture.h"
#include "support/run_cli.h"
#include "support/temp_file.h"
#include "support/tiff_writer.h"

namespace morvane::testing {

// The environment that sends the program's cache to the folder `name` of the test's folder.
inline std::string CacheEnv(const TempDir& dir, const std::string& name = "cache") {
  return "XDG_CACHE_HOME=" + ShellQuote(dir.Path() + "/" + name);
}

// The rows of that cache; -1 when it cannot be read.
inline int CacheRowCount(const TempDir& dir, const std::string& name = "cache") {
  const auto count = QueryColumn(dir.Path() + "/" + name + "/Morvane/mrvThumbs.db", "select count(*) from mrvThumbs");
  return count.empty() ? -1 : std::atoi(count[0].c_str());
}

// A 16x12 main image and a 3000x2000 JPEG preview in a sub-directory.
inline std::string NefWithPreview() {
  TiffWriter writer;
  const int ifd0 = writer.NewIfd();
  AddRgbImage(writer, ifd0, 16, 12);
  const int sub = writer.NewIfd();
  writer.AddBlob(sub, 513, 514, MakeQuadrantJpeg(3000, 2000));
  writer.AddSubIfds(ifd0, {sub});
  return writer.Build();
}

}  // namespace morvane::testing
