#include "thumbnail/rotate.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "support/positional_image.h"

namespace morvane {
namespace {

TEST(RotateTest, RightAnglesMovePixels) {
  TDibGraphic image;
  testing::FillPositional(image, 96, 64);
  const TColor top_left = image.Raster().PixelColor(0, 0);
  TRotateTransform rotate;
  rotate.Angle = 90;
  rotate.ApplyTo(image);
  EXPECT_EQ(image.Width(), 64);
  EXPECT_EQ(image.Height(), 96);
  EXPECT_EQ(image.Raster().PixelColor(63, 0), top_left);
  EXPECT_EQ(image.Raster().XPelsPerMeter, 2000);

  testing::FillPositional(image, 96, 64);
  rotate.Angle = -90;
  rotate.ApplyTo(image);
  EXPECT_EQ(image.Raster().PixelColor(0, 95), top_left);

  testing::FillPositional(image, 96, 64);
  rotate.Angle = 270.003;
  rotate.ApplyTo(image);
  EXPECT_EQ(image.Raster().PixelColor(0, 95), top_left);
}

TEST(RotateTest, HalfTurnTwiceRestoresEveryFormat) {
  for (TPixelFormat format : {pf24bit, pf8bit, pf4bit, pf1bit}) {
    TDibGraphic image, original;
    testing::FillPositional(image, 13, 7, format);
    testing::FillPositional(original, 13, 7, format);
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
  testing::FillPositional(image, 5, 3);
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
