#include <gtest/gtest.h>

#include "platform/errors.h"
#include "thumbnail/resize.h"
#include "thumbnail/rotate.h"

namespace morvane {
namespace {

TDibGraphic* Filled(TDibGraphic& image, int w, int h, TPixelFormat format = pf24bit) {
  TRaster r(w, h, format);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (format == pf24bit)
        r.SetPixelColor(x, y, MakeColor(x, y, 100));
      else
        r.SetPixelIndex(x, y, static_cast<uint8_t>((x + 3 * y) % (format == pf4bit ? 16 : 256)));
    }
  r.XPelsPerMeter = 1000;
  r.YPelsPerMeter = 2000;
  image.SetRaster(std::move(r));
  return &image;
}

TEST(ResizeTest, HalftoneOnlyForTrueColourAbove1024Pixels) {
  struct Case {
    int w, h;
    TPixelFormat format;
    bool halftone;
  } cases[] = {{3000, 2000, pf24bit, true}, {30, 30, pf24bit, false}, {32, 32, pf24bit, false},
               {33, 32, pf24bit, true},     {3000, 2000, pf8bit, false}};
  for (const Case& c : cases) {
    TDibGraphic image;
    Filled(image, c.w, c.h, c.format);
    EXPECT_EQ(TResizeTransform::UsesHalftone(image), c.halftone) << c.w << "x" << c.h;
  }
}

TEST(ResizeTest, KeepsFormatPaletteAndResolution) {
  TDibGraphic image;
  Filled(image, 50, 40, pf4bit);
  image.Raster().Palette[3] = {1, 2, 3, 0};
  TResizeTransform resize;
  resize.Width = 96;
  resize.Height = 20;
  resize.ApplyTo(image);
  EXPECT_EQ(image.Width(), 96);
  EXPECT_EQ(image.Height(), 20);
  EXPECT_EQ(image.PixelFormat(), pf4bit);
  EXPECT_EQ(image.Raster().Palette[3], (TPaletteEntry{1, 2, 3, 0}));
  EXPECT_EQ(image.Raster().XPelsPerMeter, 1000);
  EXPECT_EQ(image.Raster().YPelsPerMeter, 2000);
}

TEST(RotateTest, RightAnglesMovePixels) {
  TDibGraphic image;
  Filled(image, 96, 64);
  const TColor top_left = image.Raster().PixelColor(0, 0);
  TRotateTransform rotate;
  rotate.Angle = 90;
  rotate.ApplyTo(image);
  EXPECT_EQ(image.Width(), 64);
  EXPECT_EQ(image.Height(), 96);
  EXPECT_EQ(image.Raster().PixelColor(63, 0), top_left);
  EXPECT_EQ(image.Raster().XPelsPerMeter, 2000);

  Filled(image, 96, 64);
  rotate.Angle = -90;
  rotate.ApplyTo(image);
  EXPECT_EQ(image.Raster().PixelColor(0, 95), top_left);

  Filled(image, 96, 64);
  rotate.Angle = 270.003;
  rotate.ApplyTo(image);
  EXPECT_EQ(image.Raster().PixelColor(0, 95), top_left);
}

TEST(RotateTest, HalfTurnTwiceRestoresEveryFormat) {
  for (TPixelFormat format : {pf24bit, pf8bit, pf4bit, pf1bit}) {
    TDibGraphic image, original;
    Filled(image, 13, 7, format);
    Filled(original, 13, 7, format);
    TRotateTransform rotate;
    rotate.Angle = 180;
    rotate.ApplyTo(image);
    EXPECT_EQ(image.Raster().PixelColor(12, 6), original.Raster().PixelColor(0, 0));
    rotate.ApplyTo(image);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 13; ++x)
        ASSERT_EQ(image.Raster().PixelColor(x, y), original.Raster().PixelColor(x, y)) << format;
  }
}

TEST(RotateTest, WholeTurnsChangeNothingAndFreeAnglesAreRefused) {
  TDibGraphic image;
  Filled(image, 5, 3);
  TRotateTransform rotate;
  for (double angle : {0.0, 360.0, -720.0}) {
    rotate.Angle = angle;
    rotate.ApplyTo(image);
    EXPECT_EQ(image.Width(), 5);
    EXPECT_EQ(image.Raster().PixelColor(4, 0), MakeColor(4, 0, 100));
  }
  rotate.Angle = 45;
  EXPECT_THROW(rotate.ApplyTo(image), EMorvaneError);
}

}  // namespace
}  // namespace morvane
