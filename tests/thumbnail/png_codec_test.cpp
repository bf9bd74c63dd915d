// The PNG codec: a written thumbnail decodes to the same pixels, in red-green-blue order.
#include "thumbnail/png_codec.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "support/temp_file.h"

namespace morvane {
namespace {

TEST(PngCodecTest, WrittenFileDecodesToTheRastersPixels) {
  TRaster raster(3, 2, pf24bit);
  const TColor colors[] = {MakeColor(255, 0, 0), MakeColor(0, 255, 0), MakeColor(0, 0, 255),
                           MakeColor(1, 2, 3),   MakeColor(250, 128, 7), MakeColor(255, 255, 255)};
  for (int i = 0; i < 6; ++i) raster.SetPixelColor(i % 3, i / 3, colors[i]);
  testing::TempDir dir;
  const std::string path = dir.Path() + "/out.png";
  ASSERT_TRUE(WritePngFile(raster, path));

  const std::string bytes = testing::ReadFileBytes(path);
  const TRgbaImage image = DecodePng(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  ASSERT_EQ(image.Width, 3);
  ASSERT_EQ(image.Height, 2);
  ASSERT_EQ(image.Pixels.size(), 6u * 4u);
  for (int i = 0; i < 6; ++i) {
    const uint8_t* p = &image.Pixels[static_cast<size_t>(i) * 4];
    EXPECT_EQ(MakeColor(p[0], p[1], p[2]), colors[i]) << i;
    EXPECT_EQ(p[3], 255) << i;
  }
  EXPECT_FALSE(WritePngFile(raster, dir.Path() + "/no such folder/out.png"));
  EXPECT_THROW(DecodePng(reinterpret_cast<const uint8_t*>(bytes.data()), 20), EMorvaneError);  // cut short
}

TEST(PngCodecTest, TextChunksAreWrittenAndReadBackInOrder) {
  testing::TempDir dir;
  const std::string path = dir.Path() + "/texts.png";
  const TPngTexts texts = {{"Thumb::URI", "file:///a%20b.nef"}, {"Thumb::MTime", "1700000000"}, {"Software", ""}};
  ASSERT_TRUE(WritePngFile(TRaster(2, 2, pf24bit), path, texts));
  EXPECT_EQ(ReadPngTexts(path), texts);
  const std::string bytes = testing::ReadFileBytes(path);
  EXPECT_NO_THROW(DecodePng(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));

  // Files that are not whole PNGs give no texts and no failure.
  EXPECT_TRUE(ReadPngTexts(dir.Path() + "/missing.png").empty());
  EXPECT_TRUE(ReadPngTexts(dir.Write("short.png", bytes.substr(0, 40))).empty());
  EXPECT_TRUE(ReadPngTexts(dir.Write("text.png", "not a picture")).empty());
}

}  // namespace
}  // namespace morvane
