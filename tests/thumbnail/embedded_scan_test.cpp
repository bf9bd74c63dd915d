#include "thumbnail/embedded_scan.h"

#include <gtest/gtest.h>

#include "metadata/tif_reader.h"
#include "support/jpeg_fixture.h"
#include "support/temp_file.h"

namespace morvane {
namespace {

using testing::MakeTexturedJpeg;
using testing::PadJpeg;

std::string Filler(size_t n) { return std::string(n, '\x11'); }

bool Scan(const std::string& bytes, int64_t min_pixels, TJpegGraphic& image) {
  TMemoryStream stream(bytes);
  return FindEmbeddedJpeg(stream, min_pixels, image);
}

TEST(EmbeddedScanTest, SearchStartsAtOffsetOne) {
  const std::string jpeg = MakeTexturedJpeg(160, 120);
  TJpegGraphic image;
  EXPECT_FALSE(Scan(jpeg + Filler(100), 1, image));
  EXPECT_TRUE(image.Empty());
  EXPECT_TRUE(Scan("x" + jpeg, 1, image));
  EXPECT_EQ(image.Width(), 160);
}

TEST(EmbeddedScanTest, StartPatternAcrossTheWindowEdgeIsFound) {
  // The first window covers offsets 1 to 10240: FF D8 at its last two bytes, FF in the next.
  const std::string jpeg = MakeTexturedJpeg(160, 120);
  TJpegGraphic image;
  EXPECT_TRUE(Scan(Filler(kFindPatternWindow - 1) + jpeg, 12800, image));
  EXPECT_EQ(image.Height(), 120);
}

TEST(EmbeddedScanTest, AJpegInsideAnotherOwnsTheFirstEndMarker) {
  TJpegGraphic image;
  // The inner picture is big enough: it is the result.
  EXPECT_TRUE(Scan("xx" + testing::MakeJpegWithInner(400, 300, MakeTexturedJpeg(160, 120)), 12800, image));
  EXPECT_EQ(image.Width(), 160);
  // Too small: the scan goes on after the inner start and never tries the enclosing JPEG.
  image.Clear();
  EXPECT_FALSE(Scan("xx" + testing::MakeJpegWithInner(400, 300, MakeTexturedJpeg(100, 80)), 12800, image));
  EXPECT_EQ(image.Width(), 100);
  EXPECT_EQ(image.Height(), 80);
}

TEST(EmbeddedScanTest, CandidateLengthLimits) {
  const std::string small = testing::MakeQuadrantJpeg(16, 16);
  ASSERT_LT(small.size(), 1000u);
  const std::string big = MakeTexturedJpeg(64, 64);
  struct Case {
    const std::string* base;
    size_t length;
    bool found;
  } cases[] = {{&small, 1024, false}, {&small, 1025, true}, {&big, 8388608, true}, {&big, 8388609, false}};
  for (const Case& c : cases) {
    TJpegGraphic image;
    EXPECT_EQ(Scan("x" + PadJpeg(*c.base, c.length) + Filler(50), 1, image), c.found) << c.length;
  }
}

TEST(EmbeddedScanTest, UndersizedPicturesStayInTheImage) {
  TJpegGraphic image;
  EXPECT_FALSE(Scan(Filler(5000) + MakeTexturedJpeg(80, 60) + Filler(5000), 12800, image));
  EXPECT_EQ(image.Width(), 80);
  EXPECT_EQ(image.Height(), 60);
  // A candidate that does not decode leaves the last picture in place.
  const std::string broken = PadJpeg(std::string("\xFF\xD8\xFF\xD9", 4), 3000);
  EXPECT_FALSE(Scan(Filler(10) + MakeTexturedJpeg(80, 60) + Filler(10) + broken, 12800, image));
  EXPECT_EQ(image.Width(), 80);
}

TEST(EmbeddedScanTest, PolicyByExtension) {
  testing::TempDir dir;
  const std::string file = Filler(300) + MakeTexturedJpeg(200, 150) + Filler(300) + MakeTexturedJpeg(1024, 704, 50) +
                           Filler(300);
  const std::string small_only = Filler(300) + MakeTexturedJpeg(80, 60) + MakeTexturedJpeg(200, 150) + Filler(30);
  struct Case {
    const char* name;
    const std::string* bytes;
    int width;
  } cases[] = {
      {"a.NEF", &file, 1024},      // the first scan skips small pictures
      {"b.nef", &small_only, 200}, // nothing of 716800 pixels: the general scan takes the first fit
      {"c.orf", &file, 200},       // other files: the general scan only
      {"d.CRW", &file, 0},         // never scanned
      {"e.erf", &file, 0},
  };
  for (const Case& c : cases) {
    TJpegGraphic image;
    ScanForPreview(dir.Write(c.name, *c.bytes), image);
    EXPECT_EQ(image.Width(), c.width) << c.name;
  }
  TJpegGraphic image;
  EXPECT_THROW(ScanForPreview(dir.Path() + "/missing.nef", image), EMorvaneError);
}

TEST(EmbeddedScanTest, HostileFilesEndWithinTheBudget) {
  // Start patterns every two bytes, one end far away; then valid headers announcing large
  // pictures over and over, sharing one end marker.
  std::string starts;
  for (int i = 0; i < 2'000'000; ++i) starts += "\xFF\xD8";
  starts += std::string("\xFF\xD9", 2);
  std::string header = testing::MakeQuadrantJpeg(16, 16);
  header.resize(header.size() - 2);
  const size_t at = testing::FrameSizeOffset(header);
  header[at] = header[at + 2] = static_cast<char>(0x7F);
  std::string headers;
  while (headers.size() < 6'000'000) headers += header;
  headers += std::string("\xFF\xD9", 2);

  for (const std::string* bytes : {&starts, &headers}) {
    TJpegGraphic image;
    TMemoryStream stream("x" + *bytes);
    TScanBudget budget;
    FindEmbeddedJpeg(stream, kScanMinPixels, image, budget);
    // The decode attempts run out; each candidate searched a few windows, and the shared end
    // marker was searched for once.
    EXPECT_LE(budget.Candidates, TScanBudget().DecodeAttempts);
    EXPECT_LE(budget.BytesSearched, stream.Size() + budget.Candidates * 3 * kFindPatternWindow);
  }
}

}  // namespace
}  // namespace morvane
