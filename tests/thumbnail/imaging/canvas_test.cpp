#include "thumbnail/imaging/canvas.h"

#include <gtest/gtest.h>

#include <set>

#include "thumbnail/imaging/bitmap_font.h"
#include "platform/errors.h"

namespace morvane {
namespace {

constexpr TColor kWhite = MakeColor(255, 255, 255);
constexpr TColor kBlack = MakeColor(0, 0, 0);

TEST(CanvasTest, MulDivRoundsHalvesAwayFromZero) {
  struct Case {
    int a, b, c, result;
  } cases[] = {{120, 2000, 3000, 80}, {160, 2000, 3000, 107}, {5, 1, 2, 3},   {-5, 1, 2, -3},
               {7, -1, 2, -4},        {4, 1, 3, 1},          {5, 1, -3, -2}, {1, 1, 0, -1},
               {1 << 30, 8, 2, -1},   {65536, 65536, 65536, 65536}};
  for (const Case& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.result) << c.a << "*" << c.b << "/" << c.c;
}

TEST(CanvasTest, WindowBackgroundIsWhite) { EXPECT_EQ(GetSysColor(COLOR_WINDOW), kWhite); }

TEST(CanvasTest, ResizingRepaintsWithTheBrushAndResetsTheClip) {
  TBitmap bitmap;
  bitmap.Canvas().BrushColor = MakeColor(1, 2, 3);
  bitmap.SetWidth(40);
  EXPECT_TRUE(bitmap.Raster().Empty());
  bitmap.SetHeight(30);
  EXPECT_EQ(bitmap.Raster().PixelColor(39, 29), MakeColor(1, 2, 3));
  EXPECT_EQ(bitmap.Canvas().ClipRect(), (TRect{0, 0, 40, 30}));
  bitmap.Canvas().BrushColor = MakeColor(9, 9, 9);
  bitmap.SetSize(40, 30);
  EXPECT_EQ(bitmap.Raster().PixelColor(0, 0), MakeColor(9, 9, 9));
  EXPECT_THROW(bitmap.SetSize(-1, 4), EMorvaneError);
}

TEST(CanvasTest, DrawingIsClippedToTheBitmap) {
  TBitmap bitmap;
  bitmap.SetSize(48, 48);
  TRaster image(96, 96, pf24bit);
  for (int y = 0; y < 96; ++y)
    for (int x = 0; x < 96; ++x) image.SetPixelColor(x, y, MakeColor(x, y, 7));
  bitmap.Canvas().Draw(-24, -24, image);
  EXPECT_EQ(bitmap.Raster().PixelColor(0, 0), MakeColor(24, 24, 7));
  EXPECT_EQ(bitmap.Raster().PixelColor(47, 47), MakeColor(71, 71, 7));

  bitmap.SetSize(48, 48);
  bitmap.Canvas().Draw(40, 44, image);
  EXPECT_EQ(bitmap.Raster().PixelColor(39, 47), kWhite);
  EXPECT_EQ(bitmap.Raster().PixelColor(40, 44), MakeColor(0, 0, 7));
  bitmap.Canvas().Draw(1 << 30, -(1 << 30), image);

  TRaster gray(2, 2, pf8bit);
  gray.ScanLine(1)[1] = 200;
  bitmap.Canvas().Draw(0, 0, gray);
  EXPECT_EQ(bitmap.Raster().PixelColor(1, 1), MakeColor(200, 200, 200));
}

int InkPixels(const TRaster& r, const TRect& box) {
  int n = 0;
  for (int y = box.Top; y < box.Bottom; ++y)
    for (int x = box.Left; x < box.Right; ++x) n += r.PixelColor(x, y) == kBlack;
  return n;
}

TEST(CanvasTest, TextIsOpaqueAndGrowsWithTheBitmap) {
  for (const int side : {48, 96, 256, 1024}) {
    TBitmap bitmap;
    bitmap.Canvas().BrushColor = MakeColor(200, 0, 0);
    bitmap.SetSize(side, side);
    bitmap.Canvas().BrushColor = kWhite;
    TCanvas& canvas = bitmap.Canvas();
    const int w = canvas.TextWidth("no thumb"), h = canvas.TextHeight("Xg");
    EXPECT_LE(w, side);
    EXPECT_GE(h * 40, side) << "text too small to read at " << side;
    canvas.TextOut(0, 0, "no thumb");
    // The text's box is painted with the brush, and the glyphs show in the font colour.
    EXPECT_EQ(bitmap.Raster().PixelColor(w - 1, h - 1), kWhite);
    EXPECT_EQ(bitmap.Raster().PixelColor(side - 1, side - 1), MakeColor(200, 0, 0));
    EXPECT_GT(InkPixels(bitmap.Raster(), {0, 0, w, h}), 20);
  }
}

TEST(CanvasTest, TextOutsideTheClipIsNotDrawn) {
  TBitmap bitmap;
  bitmap.SetSize(60, 20);
  bitmap.Canvas().SetClipRect({0, 0, 30, 20});
  bitmap.Canvas().TextOut(-7, -3, "XXXXXXXXXXXXXXXX");
  EXPECT_GT(InkPixels(bitmap.Raster(), {0, 0, 30, 20}), 0);
  EXPECT_EQ(InkPixels(bitmap.Raster(), {30, 0, 60, 20}), 0);
  bitmap.Canvas().TextOut(1 << 30, 1 << 30, "far away");
}

TEST(CanvasTest, LettersAndDigitsHaveDistinctGlyphs) {
  std::set<TGlyph> seen;
  for (const char* group : {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz", "0123456789"})
    for (const char* c = group; *c; ++c)
      EXPECT_TRUE(seen.insert(GlyphOf(static_cast<unsigned char>(*c))).second) << *c;
  // Descenders reach below the baseline.
  for (const char c : std::string("gjpqy")) EXPECT_NE(GlyphOf(static_cast<unsigned char>(c))[7], 0) << c;
}

}  // namespace
}  // namespace morvane
