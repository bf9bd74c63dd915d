// `morvane thumb`: its arguments, its output files and its report line.
#include <gtest/gtest.h>
#include <png.h>

#include "cli/cli_fixture.h"
#include "support/jpeg_fixture.h"
#include "support/raw_fixture.h"
#include "support/run_cli.h"
#include "support/temp_file.h"
#include "support/tiff_writer.h"
#include "thumbnail/jpeg_graphic.h"

namespace morvane {
namespace {

using testing::RunCli;
using testing::ShellQuote;

using testing::NefWithPreview;

// The pixels of a PNG file as top-down RGB.
std::vector<uint8_t> ReadPng(const std::string& path, png_uint_32& width, png_uint_32& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
  width = image.width;
  height = image.height;
  return pixels;
}

using testing::CacheEnv;

TEST(ThumbCommandTest, WrongCallsAreUsageErrors) {
  testing::TempDir dir;
  const std::string file = ShellQuote(dir.Write("a.nef", NefWithPreview()));
  const std::string out = ShellQuote(dir.Path() + "/out.png");
  for (const std::string& args : std::vector<std::string>{"thumb", "thumb " + file, "thumb " + file + " -o", "thumb -o " + out,
                                 "thumb " + file + " -o " + out + " --size 0",
                                 "thumb " + file + " -o " + out + " --size 4097",
                                 "thumb " + file + " -o " + out + " --size big",
                                 "thumb " + file + " -o " + out + " --width 100",
                                 "thumb " + file + " -o " + out + " --size 10 --width 5 --height 5",
                                 "thumb " + file + " -o " + ShellQuote(dir.Path() + "/out.gif")}) {
    const auto r = RunCli(args, CacheEnv(dir));
    EXPECT_EQ(r.exit_code, 2) << args;
  }
  EXPECT_EQ(RunCli("thumb /no/such/file.nef -o " + out, CacheEnv(dir)).exit_code, 1);
}

TEST(ThumbCommandTest, WritesPngAndJpeg) {
  testing::TempDir dir;
  const std::string file = ShellQuote(dir.Write("a.nef", NefWithPreview()));
  const std::string png = dir.Path() + "/out.png";
  auto r = RunCli("thumb " + file + " -o " + ShellQuote(png), CacheEnv(dir));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "thumbnail 256x171\n");
  png_uint_32 w = 0, h = 0;
  const std::vector<uint8_t> pixels = ReadPng(png, w, h);
  ASSERT_EQ(w, 256u);
  ASSERT_EQ(h, 256u);
  auto pixel = [&](int x, int y) {
    const uint8_t* p = pixels.data() + (static_cast<size_t>(y) * w + x) * 3;
    return MakeColor(p[0], p[1], p[2]);
  };
  EXPECT_EQ(pixel(40, 5), MakeColor(255, 255, 255));  // the window colour above the image
  EXPECT_NE(pixel(8, 8), MakeColor(255, 255, 255));   // the logo in the corner
  EXPECT_TRUE(testing::NearColor(pixel(60, 90), testing::kQuadrantColors[0], 24));
  EXPECT_TRUE(testing::NearColor(pixel(200, 170), testing::kQuadrantColors[3], 24));

  EXPECT_EQ(RunCli("thumb " + file + " -o " + ShellQuote(png), CacheEnv(dir)).out, "cached thumbnail\n");

  const std::string jpeg = dir.Path() + "/out.JPG";
  r = RunCli("thumb " + file + " -o " + ShellQuote(jpeg) + " --width 160 --height 120", CacheEnv(dir, "other"));
  EXPECT_EQ(r.out, "thumbnail 160x80\n");
  TJpegGraphic image;
  image.LoadFromFile(jpeg);
  EXPECT_EQ(image.Width(), 160);
  EXPECT_EQ(image.Height(), 120);
}

TEST(ThumbCommandTest, ReportsNoThumb) {
  testing::TempDir dir;
  const std::string file = ShellQuote(dir.Write("plain.orf", std::string(3000, 'z')));
  const auto r = RunCli("thumb " + file + " -o " + ShellQuote(dir.Path() + "/o.png") + " --size 48", CacheEnv(dir));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "no thumb\n");
}

}  // namespace
}  // namespace morvane
