#include "thumbnail/imaging/raster.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <random>

#include "platform/errors.h"

namespace morvane {
namespace {

TEST(RasterTest, RowsAreStoredBottomUpWithAlignedStrides) {
  struct Case {
    TPixelFormat format;
    int width;
    size_t stride;
  } cases[] = {{pf24bit, 5, 16}, {pf24bit, 4, 12}, {pf8bit, 5, 8}, {pf4bit, 9, 8}, {pf1bit, 33, 8}};
  for (const Case& c : cases) {
    TRaster r(c.width, 3, c.format);
    EXPECT_EQ(r.Stride(), c.stride) << c.format << " bits, width " << c.width;
    // Row 0 (the top) is the last row in memory.
    EXPECT_EQ(r.ScanLine(0) - r.ScanLine(2), static_cast<ptrdiff_t>(2 * c.stride));
  }
}

TEST(RasterTest, PaletteIndexesAndColours) {
  TRaster r(9, 2, pf4bit);
  r.Palette[7] = {10, 20, 30, 0};
  r.SetPixelIndex(3, 1, 7);
  r.SetPixelIndex(4, 1, 15);
  EXPECT_EQ(r.PixelIndex(3, 1), 7);
  EXPECT_EQ(r.PixelIndex(4, 1), 15);
  EXPECT_EQ(r.PixelIndex(2, 1), 0);
  EXPECT_EQ(r.PixelColor(3, 1), MakeColor(30, 20, 10));

  TRaster bits(10, 1, pf1bit);
  bits.SetPixelIndex(9, 0, 1);
  EXPECT_EQ(bits.PixelIndex(9, 0), 1);
  EXPECT_EQ(bits.PixelIndex(8, 0), 0);
  EXPECT_EQ(bits.PixelColor(9, 0), MakeColor(255, 255, 255));
}

TEST(RasterTest, SizesOutsideTheBoundsAreRefused) {
  EXPECT_THROW(TRaster(0, 5, pf24bit), EMorvaneError);
  EXPECT_THROW(TRaster(-1, 5, pf24bit), EMorvaneError);
  EXPECT_THROW(TRaster(20000, 20000, pf24bit), EMorvaneError);
}

TEST(RasterTest, ResolutionRoundTripsThroughPixelsPerMetre) {
  EXPECT_EQ(DpiToPelsPerMeter(72), 2835);
  EXPECT_EQ(PelsPerMeterToDpi(2835), 72);
  EXPECT_EQ(PelsPerMeterToDpi(DpiToPelsPerMeter(300)), 300);
}

TRaster RandomRaster(int w, int h, unsigned seed) {
  std::mt19937 random(seed);
  TRaster r(w, h, pf24bit);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w * 3; ++x) r.ScanLine(y)[x] = static_cast<uint8_t>(random());
  return r;
}

// The area average computed the slow way, in floating point.
double AreaAverage(const TRaster& s, int dw, int dh, int x, int y, int channel) {
  const double fx = static_cast<double>(s.Width()) / dw, fy = static_cast<double>(s.Height()) / dh;
  const double x0 = x * fx, x1 = (x + 1) * fx, y0 = y * fy, y1 = (y + 1) * fy;
  double sum = 0;
  for (int sy = static_cast<int>(y0); sy < s.Height() && sy < y1; ++sy)
    for (int sx = static_cast<int>(x0); sx < s.Width() && sx < x1; ++sx) {
      const double wx = std::min<double>(sx + 1, x1) - std::max<double>(sx, x0);
      const double wy = std::min<double>(sy + 1, y1) - std::max<double>(sy, y0);
      sum += wx * wy * s.ScanLine(sy)[sx * 3 + channel];
    }
  return sum / (fx * fy);
}

TEST(RasterTest, HalftoneIsTheAreaAverage) {
  TRaster row(3, 1, pf24bit);
  const uint8_t values[3] = {0, 90, 180};
  for (int x = 0; x < 3; ++x) row.SetPixelColor(x, 0, MakeColor(values[x], values[x], values[x]));
  TRaster two(2, 1, pf24bit);
  StretchHalftone(row, two);
  EXPECT_EQ(RedOf(two.PixelColor(0, 0)), 30);   // (0 + 0 + 90) / 3
  EXPECT_EQ(RedOf(two.PixelColor(1, 0)), 150);  // (90 + 180 + 180) / 3

  struct Case {
    int sw, sh, dw, dh;
  } cases[] = {{300, 200, 96, 64}, {97, 61, 13, 7}, {10, 10, 25, 31}, {40, 7, 9, 20}, {5, 5, 5, 5}, {1, 50, 1, 3}};
  for (const Case& c : cases) {
    const TRaster source = RandomRaster(c.sw, c.sh, static_cast<unsigned>(c.sw * 31 + c.dh));
    TRaster result(c.dw, c.dh, pf24bit);
    StretchHalftone(source, result);
    for (int y = 0; y < c.dh; ++y)
      for (int x = 0; x < c.dw; ++x)
        for (int k = 0; k < 3; ++k)
          ASSERT_NEAR(result.ScanLine(y)[x * 3 + k], AreaAverage(source, c.dw, c.dh, x, y, k), 0.51)
              << c.sw << "x" << c.sh << " -> " << c.dw << "x" << c.dh << " at " << x << "," << y;
  }
}

TEST(RasterTest, HalftoneOfAReducedPictureCoversThePictureExactly) {
  // A picture reduced by r (each reduced pixel the mean of its block, the last blocks partial)
  // averages as the picture with every pixel replaced by its block's mean: the partial last
  // column and row count only for the pixels they stand for.
  struct Case {
    int pw, ph, reduction, dw, dh;
  } cases[] = {{10, 10, 4, 5, 5}, {21, 13, 8, 7, 4}, {97, 61, 2, 13, 7}, {40, 7, 4, 9, 3}, {16, 16, 8, 2, 2}};
  for (const Case& c : cases) {
    const TRaster picture = RandomRaster(c.pw, c.ph, static_cast<unsigned>(c.pw * 7 + c.reduction));
    const int rw = (c.pw + c.reduction - 1) / c.reduction, rh = (c.ph + c.reduction - 1) / c.reduction;
    TRaster reduced(rw, rh, pf24bit), blocks(c.pw, c.ph, pf24bit);
    for (int by = 0; by < rh; ++by)
      for (int bx = 0; bx < rw; ++bx) {
        const int x1 = std::min(c.pw, (bx + 1) * c.reduction), y1 = std::min(c.ph, (by + 1) * c.reduction);
        for (int k = 0; k < 3; ++k) {
          int sum = 0, count = 0;
          for (int y = by * c.reduction; y < y1; ++y)
            for (int x = bx * c.reduction; x < x1; ++x, ++count) sum += picture.ScanLine(y)[x * 3 + k];
          const auto mean = static_cast<uint8_t>((sum + count / 2) / count);
          reduced.ScanLine(by)[bx * 3 + k] = mean;
          for (int y = by * c.reduction; y < y1; ++y)
            for (int x = bx * c.reduction; x < x1; ++x) blocks.ScanLine(y)[x * 3 + k] = mean;
        }
      }
    TRaster expected(c.dw, c.dh, pf24bit), result(c.dw, c.dh, pf24bit);
    StretchHalftone(blocks, expected);
    StretchHalftoneReduced(reduced, c.pw, c.ph, c.reduction, result);
    for (int y = 0; y < c.dh; ++y)
      for (int x = 0; x < c.dw * 3; ++x)
        ASSERT_NEAR(result.ScanLine(y)[x], expected.ScanLine(y)[x], 1) << c.pw << "x" << c.ph << " at " << x / 3 << "," << y;
  }
  TRaster wrong(3, 3, pf24bit), out(2, 2, pf24bit);
  EXPECT_THROW(StretchHalftoneReduced(wrong, 16, 16, 4, out), EMorvaneError);
}

TEST(RasterTest, ColourOnColourTakesThePixelUnderEachCentre) {
  TRaster source(4, 1, pf8bit);
  for (int x = 0; x < 4; ++x) source.ScanLine(0)[x] = static_cast<uint8_t>(10 * x);
  TRaster half(2, 1, pf8bit);
  StretchColorOnColor(source, half);
  EXPECT_EQ(half.ScanLine(0)[0], 10);
  EXPECT_EQ(half.ScanLine(0)[1], 30);
  TRaster doubled(8, 2, pf8bit);
  StretchColorOnColor(source, doubled);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(doubled.ScanLine(1)[x], 10 * (x / 2));

  TRaster nibbles(3, 1, pf4bit);
  nibbles.SetPixelIndex(1, 0, 9);
  TRaster wide(9, 1, pf4bit);
  StretchColorOnColor(nibbles, wide);
  EXPECT_EQ(wide.PixelIndex(4, 0), 9);
  EXPECT_EQ(wide.PixelIndex(2, 0), 0);

  TRaster other(2, 1, pf24bit);
  EXPECT_THROW(StretchColorOnColor(source, other), EMorvaneError);
}

}  // namespace
}  // namespace morvane
