#include "thumbnail/thumbnail_maker.h"

#include <gtest/gtest.h>

#include "support/jpeg_fixture.h"
#include "support/raw_fixture.h"
#include "support/samples.h"
#include "support/temp_file.h"
#include "support/thumbnail_work.h"
#include "support/tiff_writer.h"
#include "support/x3f_writer.h"

namespace morvane {
namespace {

using testing::kQuadrantColors;
using testing::MakeQuadrantJpeg;
using testing::NearColor;
using testing::TiffWriter;

constexpr TColor kWindow = MakeColor(255, 255, 255);

// What was drawn on a bitmap: the box of pixels that are not the window colour.
struct TDrawn {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool operator==(const TDrawn&) const = default;
};
std::ostream& operator<<(std::ostream& out, const TDrawn& d) {
  return out << d.Width << "x" << d.Height << " at (" << d.Left << "," << d.Top << ")";
}

TDrawn DrawnBox(const TBitmap& bitmap, const TRect& within) {
  int left = within.Right, top = within.Bottom, right = within.Left - 1, bottom = within.Top - 1;
  for (int y = within.Top; y < within.Bottom; ++y)
    for (int x = within.Left; x < within.Right; ++x)
      if (bitmap.Raster().PixelColor(x, y) != kWindow) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  if (right < left) return {};
  return {left, top, right - left + 1, bottom - top + 1};
}
TDrawn DrawnBox(const TBitmap& bitmap) { return DrawnBox(bitmap, {0, 0, bitmap.Width(), bitmap.Height()}); }

// The quadrant colours at the centres of the drawn box's quarters, in reading order.
void ExpectQuadrants(const TBitmap& bitmap, const TDrawn& box, const int (&order)[4]) {
  for (int q = 0; q < 4; ++q) {
    const int x = box.Left + (q % 2 == 0 ? box.Width / 4 : 3 * box.Width / 4);
    const int y = box.Top + (q < 2 ? box.Height / 4 : 3 * box.Height / 4);
    EXPECT_TRUE(NearColor(bitmap.Raster().PixelColor(x, y), kQuadrantColors[order[q]], 24))
        << "quarter " << q << " should show quadrant " << order[q];
  }
}

// "error" and nothing else, in the text line that ends 2 pixels above the bottom edge.
void ExpectErrorText(const TBitmap& bitmap) {
  const TDrawn text = DrawnBox(bitmap);
  const int line_top = bitmap.Height() - bitmap.Canvas().TextHeight("X") - 2;
  EXPECT_GT(text.Width, 0);
  EXPECT_GE(text.Top, line_top);
  EXPECT_LE(text.Top + text.Height, bitmap.Height() - 2);
  EXPECT_NEAR(text.Left + text.Width / 2.0, bitmap.Width() / 2.0, 4);
}

// A CR2-like file: its IFD0 strip is the preview; optionally an Orientation tag.
std::string Cr2File(const std::string& preview, int orientation = 0) {
  TiffWriter writer;
  const int ifd0 = writer.NewIfd();
  if (orientation != 0) writer.Add(ifd0, 274, TiffWriter::kShort, {static_cast<uint64_t>(orientation)});
  writer.AddBlob(ifd0, 273, 279, preview);
  return writer.Build();
}

class ThumbnailMakerTest : public ::testing::Test {
 protected:
  bool Make(const std::string& path, int w, int h, TMemoryStream* stream = nullptr) {
    return TMRV().MakeThumbnail(path, w, h, bitmap_, stream);
  }
  testing::TempDir dir_;
  TBitmap bitmap_;
};

TEST_F(ThumbnailMakerTest, FitsCentresAndEncodes) {
  const std::string landscape = dir_.Write("l.cr2", Cr2File(MakeQuadrantJpeg(3000, 2000)));
  const std::string portrait = dir_.Write("p.cr2", Cr2File(MakeQuadrantJpeg(2000, 3000)));
  const std::string square = dir_.Write("s.cr2", Cr2File(MakeQuadrantJpeg(500, 500)));
  struct Case {
    const std::string* path;
    int w, h;
    TDrawn drawn;
  } cases[] = {
      {&landscape, 96, 96, {0, 16, 96, 64}},    {&landscape, 160, 120, {0, 20, 160, 80}},
      {&portrait, 160, 120, {27, 0, 107, 120}}, {&square, 256, 256, {0, 0, 256, 256}},
      {&landscape, 1024, 1024, {0, 171, 1024, 683}},
  };
  for (const Case& c : cases) {
    TMemoryStream stream;
    stream.Write("stale", 5);
    ASSERT_TRUE(Make(*c.path, c.w, c.h, &stream)) << *c.path;
    EXPECT_EQ(bitmap_.Width(), c.w);
    EXPECT_EQ(bitmap_.Height(), c.h);
    EXPECT_EQ(DrawnBox(bitmap_), c.drawn) << c.w << "x" << c.h;
    ExpectQuadrants(bitmap_, c.drawn, {0, 1, 2, 3});
    TJpegGraphic encoded;
    stream.Seek(0);
    encoded.LoadFromStream(stream);
    EXPECT_EQ(encoded.Width(), c.drawn.Width);
    EXPECT_EQ(encoded.Height(), c.drawn.Height);
  }
}

TEST_F(ThumbnailMakerTest, TurnsUprightByOrientation) {
  // The quadrant that each quarter of the drawn box shows, for orientations 1 to 8.
  struct Case {
    int orientation;
    TDrawn drawn;
    int order[4];
  } cases[] = {
      {1, {0, 16, 96, 64}, {0, 1, 2, 3}}, {2, {0, 16, 96, 64}, {0, 1, 2, 3}}, {3, {0, 16, 96, 64}, {3, 2, 1, 0}},
      {4, {0, 16, 96, 64}, {0, 1, 2, 3}}, {5, {0, 16, 96, 64}, {0, 1, 2, 3}}, {6, {16, 0, 64, 96}, {2, 0, 3, 1}},
      {7, {0, 16, 96, 64}, {0, 1, 2, 3}}, {8, {16, 0, 64, 96}, {1, 3, 0, 2}}, {9, {0, 16, 96, 64}, {0, 1, 2, 3}},
  };
  const std::string preview = MakeQuadrantJpeg(3000, 2000);
  for (const Case& c : cases) {
    ASSERT_TRUE(Make(dir_.Write("o.cr2", Cr2File(preview, c.orientation)), 96, 96));
    EXPECT_EQ(DrawnBox(bitmap_), c.drawn) << "orientation " << c.orientation;
    ExpectQuadrants(bitmap_, c.drawn, c.order);
  }
}

TEST_F(ThumbnailMakerTest, ThmSidecarServesEverySize) {
  const std::string raw = dir_.Write("x.cr2", Cr2File(MakeQuadrantJpeg(3000, 2000)));
  TiffWriter exif;
  exif.Add(exif.NewIfd(), 274, TiffWriter::kShort, {8});
  testing::TJpegOptions options;
  options.App1 = std::string("Exif\0\0", 6) + exif.Build();
  dir_.Write("x.THM", MakeQuadrantJpeg(160, 120, options));
  ASSERT_TRUE(Make(raw, 256, 256));
  // 160 x 120 scaled up to 256 x 192, then turned a quarter anticlockwise by the THM's EXIF.
  EXPECT_EQ(DrawnBox(bitmap_), (TDrawn{32, 0, 192, 256}));

  dir_.Write("y.thm", "this is no JPEG");
  const std::string other = dir_.Write("y.cr2", Cr2File(MakeQuadrantJpeg(300, 200)));
  EXPECT_FALSE(Make(other, 96, 96));
  ExpectErrorText(bitmap_);
}

TEST_F(ThumbnailMakerTest, NoThumbIsCentredAndLeavesTheStreamEmpty) {
  TMemoryStream stream;
  EXPECT_FALSE(Make(dir_.Write("empty.cr2", std::string(5000, '\x33')), 96, 96, &stream));
  EXPECT_EQ(stream.Size(), 0);
  const TDrawn text = DrawnBox(bitmap_);
  const int text_height = bitmap_.Canvas().TextHeight("Xg");
  EXPECT_GT(text.Width, 30);
  EXPECT_GE(text.Top, 48 - text_height / 2);
  EXPECT_LE(text.Top + text.Height, 48 + text_height / 2 + 1);
  EXPECT_NEAR(text.Left + text.Width / 2.0, 48, 4);
}

TEST_F(ThumbnailMakerTest, AFileThatCannotBeReadShowsError) {
  EXPECT_FALSE(Make(dir_.Path() + "/missing.cr2", 256, 256));
  ExpectErrorText(bitmap_);
  EXPECT_FALSE(TMRV().MakeThumbnail(dir_.Path() + "/missing.cr2", -5, 10, bitmap_, nullptr));
}

TEST_F(ThumbnailMakerTest, SmallRequestsUseTheEmbeddedThumbnail) {
  // An X3F whose JPEG image section is a square thumbnail, with a larger landscape JPEG before
  // it that only the scanner finds.
  testing::X3fWriter x3f;
  x3f.AddSection("XXXX", MakeQuadrantJpeg(300, 200));
  x3f.AddJpegImage(MakeQuadrantJpeg(100, 100));
  const std::string path = dir_.Write("s.x3f", x3f.Build());
  ASSERT_TRUE(Make(path, 96, 96));
  EXPECT_EQ(DrawnBox(bitmap_), (TDrawn{0, 0, 96, 96}));
  ASSERT_TRUE(Make(path, 161, 161));
  EXPECT_EQ(DrawnBox(bitmap_).Height, 107);
}

TEST_F(ThumbnailMakerTest, ScannerAndUndersizedPictures) {
  // Not a format the loader knows: the scanner finds the JPEG; an 80 x 60 one is still shown.
  ASSERT_TRUE(Make(dir_.Write("a.srf", "head" + MakeQuadrantJpeg(300, 200) + "tail"), 96, 96));
  EXPECT_EQ(DrawnBox(bitmap_), (TDrawn{0, 16, 96, 64}));
  ASSERT_TRUE(Make(dir_.Write("b.srf", "head" + testing::MakeTexturedJpeg(80, 60) + "tail"), 96, 96));
  EXPECT_EQ(DrawnBox(bitmap_), (TDrawn{0, 12, 96, 72}));
}

TEST_F(ThumbnailMakerTest, CachedThumbnailsAreDrawnAtTheirStoredSize) {
  TMemoryStream jpeg(MakeQuadrantJpeg(96, 96));
  TMRV maker;
  maker.DrawCachedThumbnail(jpeg, 256, 256, bitmap_);
  EXPECT_EQ(DrawnBox(bitmap_), (TDrawn{80, 80, 96, 96}));
  maker.DrawCachedThumbnail(jpeg, 48, 48, bitmap_);
  // Drawn at (-24, -24): the bitmap shows the middle of the image.
  EXPECT_TRUE(NearColor(bitmap_.Raster().PixelColor(10, 10), kQuadrantColors[0], 24));
  EXPECT_TRUE(NearColor(bitmap_.Raster().PixelColor(40, 40), kQuadrantColors[3], 24));
  EXPECT_TRUE(NearColor(bitmap_.Raster().PixelColor(0, 47), kQuadrantColors[2], 24));
  TMemoryStream broken(std::string("broken"));
  EXPECT_THROW(maker.DrawCachedThumbnail(broken, 96, 96, bitmap_), EJpegError);
}

TEST_F(ThumbnailMakerTest, DamagedFilesEndQuietlyWithBoundedWork) {
  TiffWriter writer;
  const int ifd0 = writer.NewIfd();
  testing::AddRgbImage(writer, ifd0, 16, 12, 3);
  const int sub = writer.NewIfd();
  writer.AddBlob(sub, 513, 514, testing::MakeTexturedJpeg(200, 150));
  writer.AddSubIfds(ifd0, {sub});
  const std::string file = writer.Build();
  for (size_t i = 0; i < file.size(); i += 97) {
    std::string damaged = file;
    damaged[i] = static_cast<char>(damaged[i] ^ 0xA5);
    for (const std::string& bytes : {damaged, file.substr(0, i)}) {
      SCOPED_TRACE(i);
      TThumbnailOutcome outcome;
      TMRV().MakeThumbnail(dir_.Write("d.nef", bytes), 96, 96, bitmap_, nullptr, &outcome);
      testing::ExpectThumbnailWorkWithin(outcome.Work, static_cast<int64_t>(bytes.size()));
    }
  }
}

TEST_F(ThumbnailMakerTest, RealCameraFiles) {
  // The samples keep their metadata but most previews were stripped: the RAF still carries its
  // 160 x 120 JPEG, the others have nothing to show.
  MORVANE_REQUIRE_SAMPLE(raf, "FujiFilm.raf");
  struct Case {
    const char* name;
    int size;
    TThumbnailOutcome::TKind kind;
    int width, height;
  } cases[] = {
      {"FujiFilm.raf", 96, TThumbnailOutcome::tkThumbnail, 96, 72},
      {"FujiFilm.raf", 256, TThumbnailOutcome::tkThumbnail, 256, 192},
      {"FujiFilm.raf", 1024, TThumbnailOutcome::tkThumbnail, 1024, 768},
      {"Nikon.nef", 256, TThumbnailOutcome::tkNoThumb, 0, 0},
      {"CanonRaw.cr2", 256, TThumbnailOutcome::tkNoThumb, 0, 0},
      {"CanonRaw.crw", 256, TThumbnailOutcome::tkNoThumb, 0, 0},
  };
  for (const Case& c : cases) {
    TThumbnailOutcome outcome;
    TMRV().MakeThumbnail(testing::SamplePath(c.name), c.size, c.size, bitmap_, nullptr, &outcome);
    EXPECT_EQ(outcome.Kind, c.kind) << c.name << " at " << c.size;
    EXPECT_EQ(outcome.Width, c.width) << c.name << " at " << c.size;
    EXPECT_EQ(outcome.Height, c.height) << c.name << " at " << c.size;
  }
}

}  // namespace
}  // namespace morvane
