#include "thumbnail/jpeg_graphic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "support/jpeg_fixture.h"

namespace morvane {
namespace {

using testing::kQuadrantColors;
using testing::MakeQuadrantJpeg;
using testing::NearColor;

// A stream that is not a memory stream, so the decoder reads it through its buffer.
class TChunkedStream : public TStream {
 public:
  explicit TChunkedStream(std::string bytes) : bytes_(std::move(bytes)) {}
  int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
  int64_t Furthest = 0;

 protected:
  size_t ReadAt(int64_t offset, void* buffer, size_t count) override {
    Furthest = std::max<int64_t>(Furthest, offset + static_cast<int64_t>(count));
    std::memcpy(buffer, bytes_.data() + offset, count);
    return count;
  }

 private:
  std::string bytes_;
};

std::unique_ptr<TJpegGraphic> Decode(const std::string& bytes) {
  auto image = std::make_unique<TJpegGraphic>();
  TMemoryStream stream(bytes);
  image->LoadFromStream(stream);
  return image;
}

void ExpectQuadrants(const TDibGraphic& image, int tolerance = 12) {
  const int w = image.Width(), h = image.Height();
  const int xs[2] = {w / 4, 3 * w / 4}, ys[2] = {h / 4, 3 * h / 4};
  for (int q = 0; q < 4; ++q)
    EXPECT_TRUE(NearColor(image.Raster().PixelColor(xs[q % 2], ys[q / 2]), kQuadrantColors[q], tolerance))
        << "quadrant " << q << " of " << w << "x" << h;
}

std::string ErrorOf(const std::string& bytes) {
  try {
    Decode(bytes);
  } catch (const EJpegError& e) {
    return e.what();
  }
  return "";
}

TEST(JpegGraphicTest, DecodesColourGrayAndCmyk) {
  auto colour = Decode(MakeQuadrantJpeg(64, 48));
  EXPECT_EQ(colour->Width(), 64);
  EXPECT_EQ(colour->Height(), 48);
  EXPECT_EQ(colour->PixelFormat(), pf24bit);
  ExpectQuadrants(*colour);

  testing::TJpegOptions gray;
  gray.Gray = true;
  auto g = Decode(testing::MakeJpeg(40, 30, [](int x, int) { return MakeColor(x * 6, 0, 0); }, gray));
  EXPECT_EQ(g->PixelFormat(), pf8bit);
  EXPECT_EQ(g->Raster().Palette, GrayPalette(pf8bit));
  EXPECT_NEAR(g->Raster().ScanLine(10)[20], 120, 4);

  // Stored C, M, Y, K = 200, 100, 255, 200: red 145, green 45, blue 200.
  auto cmyk = Decode(testing::MakeCmykJpeg(32, 32, 200, 100, 255, 200));
  EXPECT_EQ(cmyk->PixelFormat(), pf24bit);
  EXPECT_TRUE(NearColor(cmyk->Raster().PixelColor(16, 16), MakeColor(145, 45, 200), 4));
  // Every channel below zero clamps.
  auto dark = Decode(testing::MakeCmykJpeg(16, 16, 10, 20, 30, 40));
  EXPECT_TRUE(NearColor(dark->Raster().PixelColor(8, 8), MakeColor(0, 0, 0), 0));
}

TEST(JpegGraphicTest, ProgressiveDecodesButEndlessScansAreRefused) {
  testing::TJpegOptions progressive;
  progressive.Progressive = true;
  ExpectQuadrants(*Decode(MakeQuadrantJpeg(64, 64, progressive)));

  testing::TJpegOptions many;
  many.ManyScans = true;  // 1 + 3 x 63 scans
  EXPECT_EQ(ErrorOf(MakeQuadrantJpeg(32, 32, many)), "JPEG image has too many scans");
}

TEST(JpegGraphicTest, DensityBecomesResolution) {
  struct Case {
    int unit, density, dpi;
  } cases[] = {{1, 300, 300}, {2, 118, 300}, {0, 1, 0}, {3, 72, 0}};
  for (const Case& c : cases) {
    testing::TJpegOptions options;
    options.DensityUnit = c.unit;
    options.XDensity = options.YDensity = c.density;
    auto image = Decode(MakeQuadrantJpeg(16, 16, options));
    EXPECT_EQ(image->XDpi(), c.dpi) << "unit " << c.unit;
    EXPECT_EQ(image->YDpi(), c.dpi) << "unit " << c.unit;
    EXPECT_EQ(image->Raster().XPelsPerMeter, DpiToPelsPerMeter(c.dpi));
  }
}

TEST(JpegGraphicTest, FailuresCarryTheirMessagesAndKeepTheImage) {
  EXPECT_EQ(ErrorOf(testing::MakeTwoComponentJpeg(16, 16)), "Unsupported color space");
  EXPECT_NE(ErrorOf("not a jpeg at all"), "");
  EXPECT_NE(ErrorOf(""), "");

  TJpegGraphic image;
  TMemoryStream good(MakeQuadrantJpeg(20, 10));
  image.LoadFromStream(good);
  TMemoryStream bad(std::string("\xFF\xD8\xFF\xC0garbage", 11));
  EXPECT_THROW(image.LoadFromStream(bad), EJpegError);
  EXPECT_EQ(image.Width(), 20);
  EXPECT_EQ(image.Height(), 10);
}

TEST(JpegGraphicTest, ReadsFromThePositionOnlyAsFarAsTheJpegGoes) {
  const std::string jpeg = MakeQuadrantJpeg(64, 48);
  const std::string prefix(1000, 'x');
  const std::string tail(4 << 20, '\0');

  TMemoryStream memory(prefix + jpeg + tail);
  memory.Seek(1000);
  TJpegGraphic a;
  a.LoadFromStream(memory);
  ExpectQuadrants(a);

  TChunkedStream chunked(prefix + jpeg + tail);
  chunked.Seek(1000);
  TJpegGraphic b;
  b.LoadFromStream(chunked);
  ExpectQuadrants(b);
  EXPECT_LT(chunked.Furthest, 1000 + static_cast<int64_t>(jpeg.size()) + 65536);
}

TEST(JpegGraphicTest, TruncatedDataDecodesAsFarAsItGoes) {
  // Textured, so that the entropy-coded data outweighs the tables.
  const std::string jpeg = testing::MakeJpeg(256, 256, [](int x, int y) {
    const TColor c = testing::QuadrantColor(x, y, 256, 256);
    const int noise = (x * 7 + y * 13) % 9;
    return MakeColor(RedOf(c) ? RedOf(c) - noise : noise, GreenOf(c) ? GreenOf(c) - noise : noise,
                     BlueOf(c) ? BlueOf(c) - noise : noise);
  });
  ::testing::internal::CaptureStderr();
  for (const size_t keep : {jpeg.size() / 2, jpeg.size() - 2}) {
    TChunkedStream stream(jpeg.substr(0, keep));
    TJpegGraphic image;
    image.LoadFromStream(stream);
    EXPECT_EQ(image.Width(), 256);
    EXPECT_TRUE(NearColor(image.Raster().PixelColor(64, 64), kQuadrantColors[0], 12));
    EXPECT_LE(stream.Furthest, static_cast<int64_t>(keep));
  }
  // What the data did not reach is black.
  TMemoryStream half(jpeg.substr(0, jpeg.size() / 2));
  TJpegGraphic image;
  image.LoadFromStream(half);
  EXPECT_EQ(image.Raster().PixelColor(200, 255), MakeColor(0, 0, 0));
  // libjpeg's warnings ("premature end of data") are not printed.
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST(JpegGraphicTest, AHugeSizeOnFewBytesCostsNoMoreThanTheBytes) {
  // 12000 x 10000 announced, 240 KB of data: allowed by the bytes, but decoding stops where the
  // data ends and the rest of the picture is never touched.
  std::string jpeg = MakeQuadrantJpeg(16, 16);
  const size_t at = testing::FrameSizeOffset(jpeg);
  jpeg[at] = static_cast<char>(10000 >> 8);
  jpeg[at + 1] = static_cast<char>(10000 & 0xFF);
  jpeg[at + 2] = static_cast<char>(12000 >> 8);
  jpeg[at + 3] = static_cast<char>(12000 & 0xFF);
  jpeg.resize(jpeg.size() - 2);
  jpeg += std::string(240000, '\x55');
  TChunkedStream stream(jpeg);
  TJpegGraphic image;
  image.LoadFromStream(stream);
  EXPECT_EQ(image.Width(), 12000);
  EXPECT_EQ(image.Raster().PixelColor(11999, 9999), MakeColor(0, 0, 0));
  // Each byte is read once, the rows decoded are a small part of the 10000 announced, and the
  // rest is not cleared row by row.
  const TJpegDecodeWork& work = image.LastDecode();
  EXPECT_LE(work.BytesCopied, static_cast<int64_t>(jpeg.size()));
  EXPECT_LT(work.RowsDecoded, 1000);
  EXPECT_EQ(work.RowsCleared, 0);
}

TEST(JpegGraphicTest, HugeAnnouncedSizesAreRefusedBeforeDecoding) {
  std::string jpeg = MakeQuadrantJpeg(16, 16);
  const size_t at = testing::FrameSizeOffset(jpeg);
  auto announce = [&](int height, int width) {
    std::string copy = jpeg;
    copy[at] = static_cast<char>(height >> 8);
    copy[at + 1] = static_cast<char>(height);
    copy[at + 2] = static_cast<char>(width >> 8);
    copy[at + 3] = static_cast<char>(width);
    return copy;
  };
  // 65000 x 65000 exceeds every bound; 4000 x 4000 is more than these few bytes can describe.
  EXPECT_EQ(ErrorOf(announce(65000, 65000)), "JPEG image too large");
  EXPECT_EQ(ErrorOf(announce(4000, 4000)), "JPEG image too large");
  EXPECT_EQ(ErrorOf(announce(100, 100)), "");
}

TEST(JpegGraphicTest, EncodesGrayAndTrueColourBaselineWithDensity) {
  auto source = Decode(MakeQuadrantJpeg(96, 64));
  source->Raster().XPelsPerMeter = source->Raster().YPelsPerMeter = DpiToPelsPerMeter(240);
  source->Quality = 90;
  TMemoryStream out;
  source->SaveToStream(out);
  const std::string bytes(out.View());
  EXPECT_NE(bytes.find("\xFF\xC0"), std::string::npos);  // baseline frame
  EXPECT_EQ(bytes.find("\xFF\xC2"), std::string::npos);  // not progressive
  auto back = Decode(bytes);
  EXPECT_EQ(back->Width(), 96);
  EXPECT_EQ(back->Height(), 64);
  EXPECT_EQ(back->PixelFormat(), pf24bit);
  EXPECT_EQ(back->XDpi(), 240);
  ExpectQuadrants(*back);

  TJpegGraphic gray;
  gray.SetRaster(TRaster(30, 20, pf8bit));
  TMemoryStream gray_out;
  gray.SaveToStream(gray_out);
  auto gray_back = Decode(std::string(gray_out.View()));
  EXPECT_EQ(gray_back->PixelFormat(), pf8bit);
  EXPECT_EQ(gray_back->Width(), 30);

  TMemoryStream low, high;
  source->Quality = 20;
  source->SaveToStream(low);
  source->Quality = 95;
  source->SaveToStream(high);
  EXPECT_LT(low.Size(), high.Size());
}

TEST(JpegGraphicTest, OnlyGrayAndTrueColourEncode) {
  TJpegGraphic image;
  TMemoryStream out;
  for (TPixelFormat format : {pf1bit, pf4bit}) {
    image.SetRaster(TRaster(8, 8, format));
    try {
      image.SaveToStream(out);
      ADD_FAILURE() << "format " << format << " encoded";
    } catch (const EJpegError& e) {
      EXPECT_STREQ(e.what(), "JPEG image must be gray scale or true color");
    }
  }
  TRaster coloured(8, 8, pf8bit);
  coloured.Palette[1] = {0, 0, 255, 0};
  image.SetRaster(coloured);
  EXPECT_THROW(image.SaveToStream(out), EJpegError);
}

}  // namespace
}  // namespace morvane
