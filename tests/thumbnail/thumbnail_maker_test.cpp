#include "thumbnail/thumbnail_maker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

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

// The picture alone, for viewers that frame it themselves: fitted down but never enlarged,
// turned upright, and exactly the picture's size (no background around it).
TEST_F(ThumbnailMakerTest, PictureIsFittedDownUprightAndUnframed) {
  struct Case {
    int preview_w, preview_h, orientation, request;
    int w, h;
    int order[4];
  } cases[] = {
      {3000, 2000, 1, 256, 256, 171, {0, 1, 2, 3}},  {2000, 3000, 1, 128, 85, 128, {0, 1, 2, 3}},
      {400, 300, 1, 1024, 400, 300, {0, 1, 2, 3}},   {400, 300, 6, 128, 96, 128, {2, 0, 3, 1}},
      {400, 300, 8, 1024, 300, 400, {1, 3, 0, 2}},   {400, 300, 3, 400, 400, 300, {3, 2, 1, 0}},
  };
  for (const Case& c : cases) {
    const std::string path =
        dir_.Write("p.cr2", Cr2File(MakeQuadrantJpeg(c.preview_w, c.preview_h), c.orientation));
    TJpegGraphic picture;
    TThumbnailOutcome outcome;
    ASSERT_TRUE(TMRV().MakePicture(path, c.request, picture, &outcome, false)) << c.preview_w;
    EXPECT_EQ(outcome.Kind, TThumbnailOutcome::tkThumbnail);
    ASSERT_EQ(picture.Width(), c.w) << c.preview_w << "x" << c.preview_h << " at " << c.request;
    ASSERT_EQ(picture.Height(), c.h);
    EXPECT_EQ(outcome.Width, c.w);
    for (int q = 0; q < 4; ++q) {
      const int x = q % 2 == 0 ? c.w / 4 : 3 * c.w / 4, y = q < 2 ? c.h / 4 : 3 * c.h / 4;
      EXPECT_TRUE(NearColor(picture.Raster().PixelColor(x, y), kQuadrantColors[c.order[q]], 24))
          << "orientation " << c.orientation << " quarter " << q;
    }
    // Edge pixels belong to the picture: nothing was drawn around it.
    EXPECT_TRUE(NearColor(picture.Raster().PixelColor(0, 0), kQuadrantColors[c.order[0]], 48));
    EXPECT_TRUE(NearColor(picture.Raster().PixelColor(c.w - 1, c.h - 1), kQuadrantColors[c.order[3]], 48));
  }
}

TEST_F(ThumbnailMakerTest, PictureOfAFileWithoutOneSaysWhy) {
  TJpegGraphic picture;
  TThumbnailOutcome outcome;
  TiffWriter bare;
  bare.Add(bare.NewIfd(), 274, TiffWriter::kShort, {1});
  EXPECT_FALSE(TMRV().MakePicture(dir_.Write("bare.cr2", bare.Build()), 128, picture, &outcome, false));
  EXPECT_EQ(outcome.Kind, TThumbnailOutcome::tkNoThumb);
  EXPECT_TRUE(picture.Empty());
  EXPECT_FALSE(TMRV().MakePicture(dir_.Path() + "/missing.cr2", 128, picture, &outcome, false));
  EXPECT_NE(outcome.Kind, TThumbnailOutcome::tkThumbnail);
  EXPECT_TRUE(picture.Empty());
}

TEST_F(ThumbnailMakerTest, ThmSidecarIsOneOfTheFilesPreviews) {
  const std::string raw = dir_.Write("x.cr2", Cr2File(MakeQuadrantJpeg(3000, 2000)));
  TiffWriter exif;
  exif.Add(exif.NewIfd(), 274, TiffWriter::kShort, {8});
  testing::TJpegOptions options;
  options.App1 = std::string("Exif\0\0", 6) + exif.Build();
  dir_.Write("x.THM", MakeQuadrantJpeg(160, 120, options));
  // Up to 160 pixels the 160 x 120 THM serves; above, the raw file's own preview. Both are
  // turned a quarter anticlockwise by the THM's EXIF.
  ASSERT_TRUE(Make(raw, 96, 96));
  EXPECT_EQ(DrawnBox(bitmap_), (TDrawn{12, 0, 72, 96}));
  ASSERT_TRUE(Make(raw, 256, 256));
  EXPECT_EQ(DrawnBox(bitmap_), (TDrawn{43, 0, 171, 256}));

  // A THM that is no JPEG is no preview: the raw file's own serves.
  dir_.Write("y.thm", "this is no JPEG");
  const std::string other = dir_.Write("y.cr2", Cr2File(MakeQuadrantJpeg(300, 200)));
  ASSERT_TRUE(Make(other, 96, 96));
  EXPECT_EQ(DrawnBox(bitmap_), (TDrawn{0, 16, 96, 64}));
  // A THM on its own is its own preview.
  EXPECT_TRUE(Make(dir_.Write("z.thm", MakeQuadrantJpeg(160, 120)), 96, 96));
  EXPECT_EQ(DrawnBox(bitmap_), (TDrawn{0, 12, 96, 72}));
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
  for (const char* name : {"missing.cr2", "missing.nef", "missing.dng", "missing.raf", "missing.crw", "missing.mrw"}) {
    EXPECT_FALSE(Make(dir_.Path() + "/" + name, 256, 256)) << name;
    ExpectErrorText(bitmap_);
  }
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

  // A file whose metadata knows only a preview too small for the request: the scanner's larger
  // JPEG serves; a smaller one found by the scanner does not replace the preview.
  TiffWriter writer;
  const int ifd0 = writer.NewIfd(), sub = writer.NewIfd();
  writer.AddBlob(sub, 513, 514, MakeQuadrantJpeg(160, 120));
  writer.AddSubIfds(ifd0, {sub});
  ASSERT_TRUE(Make(dir_.Write("c.nef", writer.Build() + MakeQuadrantJpeg(600, 300)), 256, 256));
  EXPECT_EQ(DrawnBox(bitmap_), (TDrawn{0, 64, 256, 128}));
  ASSERT_TRUE(Make(dir_.Write("d.nef", writer.Build() + testing::MakeTexturedJpeg(140, 40)), 256, 256));
  EXPECT_EQ(DrawnBox(bitmap_), (TDrawn{0, 32, 256, 192}));
}

TEST_F(ThumbnailMakerTest, CachedThumbnailsAreFittedDownButNeverEnlarged) {
  TMemoryStream jpeg(MakeQuadrantJpeg(96, 64));
  TMRV maker;
  maker.DrawCachedThumbnail(jpeg, 256, 256, bitmap_);
  EXPECT_EQ(DrawnBox(bitmap_), (TDrawn{80, 96, 96, 64}));
  maker.DrawCachedThumbnail(jpeg, 48, 48, bitmap_);
  EXPECT_EQ(DrawnBox(bitmap_), (TDrawn{0, 8, 48, 32}));
  ExpectQuadrants(bitmap_, {0, 8, 48, 32}, {0, 1, 2, 3});
  TMemoryStream broken(std::string("broken"));
  EXPECT_THROW(maker.DrawCachedThumbnail(broken, 96, 96, bitmap_), EJpegError);
}

TEST(FitTest, CoversMeansNoEnlargingInEitherDirection) {
  struct Case {
    TImageSize image;
    int w, h;
    bool covers;
  } cases[] = {
      {{3000, 2000}, 1024, 1024, true}, {{256, 171}, 256, 256, true},   {{256, 171}, 257, 257, false},
      {{171, 256}, 256, 256, true},     {{160, 120}, 96, 96, true},     {{160, 120}, 161, 161, false},
      {{3000, 2000}, 160, 120, true},   {{160, 80}, 160, 120, true},    {{8, 8}, 257, 257, false},
      {{0, 0}, 1, 1, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TMRV::Covers(c.image, c.w, c.h), c.covers) << c.image.Width << "x" << c.image.Height << " for " << c.w;
}

// A JPEG with a photograph's statistics: detail at every scale (octaves of smooth noise, each as
// strong as its size), hard-edged shapes, and a grain that differs from pixel to pixel. `turned`
// gives the same picture as a portrait.
std::string PhotoLikeJpeg(int width, int height, bool turned = false) {
  auto hash = [](uint32_t i, uint32_t j, uint32_t seed) {
    uint32_t h = i * 374761393u + j * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFF) / 65535.0f - 0.5f;
  };
  const int w = turned ? height : width, h = turned ? width : height;
  std::vector<float> field(static_cast<size_t>(w) * h * 3, 0.0f);
  for (int cell = 256; cell >= 2; cell /= 2)
    for (int c = 0; c < 3; ++c)
      for (int y = 0; y < h; ++y) {
        const int j = y / cell;
        const float v = static_cast<float>(y % cell) / static_cast<float>(cell), weight = static_cast<float>(cell) / 256.0f;
        for (int x = 0; x < w; ++x) {
          const int i = x / cell;
          const float u = static_cast<float>(x % cell) / static_cast<float>(cell);
          const auto seed = static_cast<uint32_t>(cell + c);
          const float top = hash(i, j, seed) * (1 - u) + hash(i + 1, j, seed) * u;
          const float bottom = hash(i, j + 1, seed) * (1 - u) + hash(i + 1, j + 1, seed) * u;
          field[(static_cast<size_t>(y) * w + x) * 3 + c] += weight * (top * (1 - v) + bottom * v);
        }
      }
  auto pixel = [&, w](int px, int py) {
    const int x = turned ? py : px, y = turned ? px : py;
    const bool disc = (x - w / 3) * (x - w / 3) + (y - h / 2) * (y - h / 2) < h * h / 9;
    const bool bar = x % 300 < 40 && y > h * 3 / 4;
    const float shape = disc ? 0.25f : (bar ? -0.3f : 0.0f);
    const int grain = static_cast<int>(((static_cast<uint32_t>(x) * 2654435761u) ^ (static_cast<uint32_t>(y) * 40503u)) >> 13) % 17 - 8;
    const float base[3] = {0.55f, 0.45f, 0.4f};
    uint8_t rgb[3];
    for (int c = 0; c < 3; ++c) {
      const float value = (base[c] + field[(static_cast<size_t>(y) * w + x) * 3 + c] + shape) * 255.0f;
      rgb[c] = static_cast<uint8_t>(std::clamp(static_cast<int>(value) + grain, 0, 255));
    }
    return MakeColor(rgb[0], rgb[1], rgb[2]);
  };
  return testing::MakeJpeg(width, height, pixel);
}

// Peak signal-to-noise ratio of the drawn box against a reference image of the same size.
double Psnr(const TBitmap& bitmap, const TDrawn& box, const TDibGraphic& reference) {
  double squares = 0;
  for (int y = 0; y < box.Height; ++y)
    for (int x = 0; x < box.Width; ++x) {
      const TColor a = bitmap.Raster().PixelColor(box.Left + x, box.Top + y), b = reference.Raster().PixelColor(x, y);
      for (const int d : {RedOf(a) - RedOf(b), GreenOf(a) - GreenOf(b), BlueOf(a) - BlueOf(b)}) squares += d * d;
    }
  const double mse = squares / (3.0 * box.Width * box.Height);
  return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

TEST(ReducedScaleTest, LargestReductionThatStillCoversTheFit) {
  struct Case {
    TImageSize picture, fitted;
    TPixelFormat format;
    int denominator;
  } cases[] = {
      {{3008, 2000}, {256, 170}, pf24bit, 8},  {{3008, 2000}, {96, 64}, pf24bit, 8},
      {{3008, 2000}, {376, 250}, pf24bit, 8},  {{3008, 2000}, {377, 250}, pf24bit, 4},
      {{3008, 2000}, {1024, 681}, pf24bit, 2}, {{3008, 2000}, {1504, 1000}, pf24bit, 2},
      {{3008, 2000}, {1505, 1000}, pf24bit, 1}, {{3008, 2000}, {1504, 1001}, pf24bit, 1},
      {{2000, 3008}, {170, 256}, pf24bit, 8},  {{3001, 2001}, {376, 251}, pf24bit, 8},
      // The output must still be averaged: 20 x 15 would take one pixel per pixel instead.
      {{160, 120}, {16, 12}, pf24bit, 4},      {{64, 64}, {8, 8}, pf24bit, 1},
      // Gray pictures are stretched pixel by pixel, so they keep the full decode.
      {{3008, 2000}, {256, 170}, pf8bit, 1},   {{3008, 2000}, {0, 0}, pf24bit, 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TJpegGraphic::ReducedScale(c.picture, c.fitted, c.format), c.denominator)
        << c.picture.Width << "x" << c.picture.Height << " to " << c.fitted.Width << "x" << c.fitted.Height;
}

TEST_F(ThumbnailMakerTest, ReducedDecodingDrawsTheSamePictureAsTheFullDecode) {
  constexpr int kWidth = 1200, kHeight = 800;
  const std::string preview = PhotoLikeJpeg(kWidth, kHeight);
  const std::string portrait_preview = PhotoLikeJpeg(kHeight, kWidth, true);
  const std::string landscape = dir_.Write("photo.cr2", Cr2File(preview));
  const std::string portrait = dir_.Write("photo_p.cr2", Cr2File(portrait_preview));
  // Shrinking at an eighth, a quarter and a half, with the average after it shrinking by
  // almost nothing (140: 150 x 100 to 140 x 93) up to almost two (400: 600 x 400 to 400 x 267).
  struct Case {
    const std::string* path;
    const std::string* jpeg;
    int w, h;
  } cases[] = {
      {&landscape, &preview, 96, 96},    {&landscape, &preview, 140, 140}, {&landscape, &preview, 256, 256},
      {&landscape, &preview, 400, 400},  {&landscape, &preview, 600, 600}, {&landscape, &preview, 300, 100},
      {&portrait, &portrait_preview, 256, 256}, {&landscape, &preview, 601, 601},
  };
  for (const Case& c : cases) {
    TJpegGraphic reference;
    TMemoryStream stream(*c.jpeg);
    reference.LoadFromStream(stream);
    TMRV::FitImage(reference, c.w, c.h);
    ASSERT_TRUE(Make(*c.path, c.w, c.h)) << c.w;
    const TDrawn box = DrawnBox(bitmap_);
    ASSERT_EQ(box.Width, reference.Width()) << c.w;
    ASSERT_EQ(box.Height, reference.Height()) << c.w;
    const double psnr = Psnr(bitmap_, box, reference);
    // A fit more than half the preview's size is decoded whole: the very same pixels.
    if (2 * c.w > kWidth && 2 * c.h > kWidth)
      EXPECT_EQ(psnr, 99.0) << c.w;
    else
      EXPECT_GE(psnr, 38.0) << c.w << "x" << c.h;
    std::printf("[ reduced  ] %s at %dx%d: PSNR %.1f dB\n", (*c.path == landscape ? "landscape" : "portrait"), c.w, c.h, psnr);
  }
}

TEST_F(ThumbnailMakerTest, CachedThumbnailsDecodeReducedToTheSameSize) {
  // A 1024-pixel stored thumbnail drawn at 256 and 96: decoded at a quarter and an eighth.
  const std::string stored = PhotoLikeJpeg(1024, 683);
  for (const int size : {96, 256}) {
    TJpegGraphic reference;
    TMemoryStream full(stored);
    reference.LoadFromStream(full);
    TMRV::FitImage(reference, size, size);
    TMemoryStream jpeg(stored);
    TMRV().DrawCachedThumbnail(jpeg, size, size, bitmap_);
    const TDrawn box = DrawnBox(bitmap_);
    ASSERT_EQ(box.Width, reference.Width());
    ASSERT_EQ(box.Height, reference.Height());
    EXPECT_GE(Psnr(bitmap_, box, reference), 38.0) << size;
  }
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
  // 160 x 120 EXIF thumbnail (its whole JPEG is 8 x 8), the DNG its 8 x 8 RGB thumbnail, the
  // MRW has an 8 x 8 .JPG beside it; the others have nothing to show.
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
      {"DNG.dng", 257, TThumbnailOutcome::tkThumbnail, 257, 257},
      {"Minolta.mrw", 512, TThumbnailOutcome::tkThumbnail, 512, 512},
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
