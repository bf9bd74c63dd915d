#include "thumbnail/resize.h"

#include <gtest/gtest.h>

#include "support/positional_image.h"

namespace morvane {
namespace {

TEST(ResizeTest, HalftoneOnlyForTrueColourAbove1024Pixels) {
  struct Case {
    int w, h;
    TPixelFormat format;
    bool halftone;
  } cases[] = {{3000, 2000, pf24bit, true}, {30, 30, pf24bit, false}, {32, 32, pf24bit, false},
               {33, 32, pf24bit, true},     {3000, 2000, pf8bit, false}};
  for (const Case& c : cases) {
    TDibGraphic image;
    testing::FillPositional(image, c.w, c.h, c.format);
    EXPECT_EQ(TResizeTransform::UsesHalftone(image), c.halftone) << c.w << "x" << c.h;
  }
}

TEST(ResizeTest, KeepsFormatPaletteAndResolution) {
  TDibGraphic image;
  testing::FillPositional(image, 50, 40, pf4bit);
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

}  // namespace
}  // namespace morvane
