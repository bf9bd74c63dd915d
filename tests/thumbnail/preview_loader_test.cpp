#include "thumbnail/preview_loader.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "support/jpeg_fixture.h"
#include "support/raw_fixture.h"
#include "support/temp_file.h"
#include "support/tiff_writer.h"
#include "thumbnail/last_tiff_image.h"

namespace morvane {
namespace {

using testing::MakeTexturedJpeg;
using testing::Order;
using testing::TiffWriter;

struct TSize {
  int Width = 0;
  int Height = 0;
  bool operator==(const TSize&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TSize& s) { return out << s.Width << "x" << s.Height; }

TSize SizeOf(const TDibGraphic& image) { return {image.Width(), image.Height()}; }

class PreviewLoaderTest : public ::testing::Test {
 protected:
  TSize Load(const std::string& name, const std::string& bytes, int32_t min_size = 999999999) {
    TQuickLoader loader;
    loader.MinSize = min_size;
    TJpegGraphic image;
    loader.LoadPreview(dir_.Write(name, bytes), image);
    // The same bytes held in a stream give the same preview; only an MRW's sidecars, which a
    // stream does not have, are not there.
    TMemoryStream stream(bytes);
    TJpegGraphic from_stream;
    loader.LoadPreview(stream, name, from_stream);
    const bool sidecar = name.size() >= 4 && (name.substr(name.size() - 4) == ".mrw" || name.substr(name.size() - 4) == ".MRW");
    EXPECT_EQ(SizeOf(from_stream), sidecar ? TSize{} : SizeOf(image)) << name;
    return SizeOf(image);
  }
  testing::TempDir dir_;
};

// A file whose IFD0 has one strip holding a JPEG.
std::string StripFile(const std::string& strip, int strips = 1) {
  TiffWriter writer;
  const int ifd0 = writer.NewIfd();
  if (strips == 1) {
    writer.AddBlob(ifd0, 273, 279, strip);
  } else {
    writer.Add(ifd0, 273, TiffWriter::kLong, {8, 8});
    writer.Add(ifd0, 279, TiffWriter::kLong, {100, 100});
  }
  return writer.Build();
}

TEST_F(PreviewLoaderTest, FirstStripWhateverTheCaseOfTheExtension) {
  const std::string file = StripFile(MakeTexturedJpeg(120, 80));
  for (const char* name : {"a.CR2", "b.cr2", "c.Cr2", "d.RAW"}) EXPECT_EQ(Load(name, file), (TSize{120, 80})) << name;
  EXPECT_EQ(Load("e.cr2", StripFile("", 2)), TSize{});
  EXPECT_EQ(Load("f.cr2", StripFile("not a jpeg, just bytes")), TSize{});
}

// A DNG: an RGB thumbnail in IFD0 and three preview sub-directories, listed small to large.
// The reader holds a big-endian list in reverse, which the choice by byte order expects.
std::string DngFile(Order order, bool jpeg_previews = true, bool medium_in_two_strips = false) {
  TiffWriter writer(order);
  const int ifd0 = writer.NewIfd();
  testing::AddRgbImage(writer, ifd0, 16, 12);
  std::vector<int> subs;
  const TSize sizes[3] = {{40, 30}, {80, 60}, {120, 90}};
  for (const TSize& s : sizes) {
    const int sub = writer.NewIfd();
    if (medium_in_two_strips && s.Width == 80) {
      writer.Add(sub, 273, TiffWriter::kLong, {8, 8});
      writer.Add(sub, 279, TiffWriter::kLong, {100, 100});
    } else if (jpeg_previews)
      writer.AddBlob(sub, 273, 279, MakeTexturedJpeg(s.Width, s.Height));
    else
      writer.AddBlob(sub, 273, 279, std::string(s.Width * s.Height * 3, '\x40'));
    subs.push_back(sub);
  }
  writer.AddSubIfds(ifd0, subs);
  return writer.Build();
}

TEST_F(PreviewLoaderTest, DngPreviewBySizeAndByteOrder) {
  struct Case {
    Order order;
    int32_t min_size;
    TSize size;
  } cases[] = {
      {Order::kIntel, 200, {16, 12}},     {Order::kIntel, 256, {16, 12}},    {Order::kIntel, 257, {80, 60}},
      {Order::kIntel, 800, {80, 60}},     {Order::kIntel, 1024, {80, 60}},   {Order::kIntel, 1025, {120, 90}},
      {Order::kIntel, 1600, {120, 90}},   {Order::kMotorola, 200, {16, 12}}, {Order::kMotorola, 800, {120, 90}},
      {Order::kMotorola, 1600, {80, 60}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Load("p.dng", DngFile(c.order), c.min_size), c.size)
        << (c.order == Order::kIntel ? "II " : "MM ") << c.min_size;
  }
}

TEST_F(PreviewLoaderTest, DngFallsBackToTheTiffImageOrGivesUp) {
  // Uncompressed previews: the last main-chain directory is decoded instead.
  EXPECT_EQ(Load("u.dng", DngFile(Order::kIntel, false), 800), (TSize{16, 12}));
  // A preview of several strips: nothing.
  EXPECT_EQ(Load("s.DNG", DngFile(Order::kIntel, true, true), 800), TSize{});
  // No sub-directories: the TIFF image.
  TiffWriter writer;
  testing::AddRgbImage(writer, writer.NewIfd(), 16, 12);
  EXPECT_EQ(Load("n.dng", writer.Build(), 2000), (TSize{16, 12}));
}

TEST_F(PreviewLoaderTest, MrwSidecarsBySize) {
  const std::string raw = "\0MRM not really a raw file";
  dir_.Write("m.thm", MakeTexturedJpeg(160, 120));
  dir_.Write("m.jpg", MakeTexturedJpeg(640, 480));
  EXPECT_EQ(Load("m.mrw", raw, 160), (TSize{160, 120}));
  EXPECT_EQ(Load("m.mrw", raw, 161), (TSize{640, 480}));
  dir_.Write("broken.THM", "not a jpeg");
  dir_.Write("broken.JPG", MakeTexturedJpeg(320, 240));
  EXPECT_EQ(Load("broken.MRW", raw, 100), (TSize{320, 240}));
  EXPECT_EQ(Load("alone.mrw", raw, 100), TSize{});
}

TEST_F(PreviewLoaderTest, LargestThumbnailKeepsTheExifOneOnTies) {
  auto file = [](const std::string& exif_thumbnail, const std::string& ifd1_thumbnail) {
    TiffWriter writer;
    const int ifd0 = writer.NewIfd(), ifd1 = writer.NewIfd(), exif = writer.NewIfd();
    writer.AddPointer(ifd0, 34665, exif);
    writer.SetNext(ifd0, ifd1);
    writer.AddBlob(exif, 513, 514, exif_thumbnail);
    writer.AddBlob(ifd1, 513, 514, ifd1_thumbnail);
    return writer.Build();
  };
  const std::string a = MakeTexturedJpeg(64, 48), b = MakeTexturedJpeg(96, 64);
  const size_t same = std::max(a.size(), b.size()) + 16;
  EXPECT_EQ(Load("t.PEF", file(testing::PadJpeg(a, same), testing::PadJpeg(b, same))), (TSize{64, 48}));
  EXPECT_EQ(Load("t.arw", file(a, testing::PadJpeg(b, same))), (TSize{96, 64}));
  EXPECT_EQ(Load("t.SR2", file(testing::PadJpeg(b, same), a)), (TSize{96, 64}));
}

TEST_F(PreviewLoaderTest, OrfMakerNoteThumbnailInBothByteOrders) {
  for (const Order order : {Order::kIntel, Order::kMotorola}) {
    const std::string jpeg = MakeTexturedJpeg(160, 120);
    TiffWriter writer(order);
    const int ifd0 = writer.NewIfd(), exif = writer.NewIfd();
    testing::AddMake(writer, ifd0, "OLYMPUS IMAGING CORP.");
    writer.AddPointer(ifd0, 34665, exif);
    writer.AddPositioned(exif, 37500, [&](uint32_t at) {
      return std::string("OLYMP\0\1\0", 8) +
             TiffWriter::EncodeIfd(order, at + 8, 0, {{256, {TiffWriter::kUndefined, testing::AsComponents(jpeg)}}});
    });
    const std::string file = writer.Build();
    EXPECT_EQ(Load("o.orf", file, 160), (TSize{160, 120}));

    // Above 160 pixels the loader leaves the image alone.
    TQuickLoader loader;
    loader.MinSize = 161;
    TJpegGraphic image;
    image.SetRaster(TRaster(3, 3, pf24bit));
    loader.LoadPreview(dir_.Write("o.ORF", file), image);
    EXPECT_EQ(SizeOf(image), (TSize{3, 3}));
  }
}

TEST_F(PreviewLoaderTest, NefLongestSubDirectoryJpegOrTheTiffThumbnail) {
  auto file = [](std::vector<std::string> thumbnails, int orientation) {
    TiffWriter writer;
    const int ifd0 = writer.NewIfd();
    testing::AddRgbImage(writer, ifd0, 16, 12, orientation);
    std::vector<int> subs;
    for (const std::string& t : thumbnails) {
      subs.push_back(writer.NewIfd());
      writer.AddBlob(subs.back(), 513, 514, t);
    }
    writer.AddSubIfds(ifd0, subs);
    return writer.Build();
  };
  const std::string small = MakeTexturedJpeg(64, 48), large = MakeTexturedJpeg(300, 200);
  EXPECT_EQ(Load("a.nef", file({small, large, small}, 1)), (TSize{300, 200}));
  // A TIFF-looking stream is passed over.
  EXPECT_EQ(Load("b.NEF", file({"II*\0 a tiff of sorts", small}, 1)), (TSize{64, 48}));

  // No JPEG: the RGB thumbnail, turned by 180 degrees for orientation 3.
  for (const int orientation : {1, 3, 6}) {
    TQuickLoader loader;
    TJpegGraphic image;
    loader.LoadPreview(dir_.Write("c.nef", file({}, orientation)), image);
    ASSERT_EQ(SizeOf(image), (TSize{16, 12}));
    const TColor top_left = image.Raster().PixelColor(0, 0);
    EXPECT_EQ(top_left, testing::kQuadrantColors[orientation == 3 ? 3 : 0]) << orientation;
  }
}

TEST_F(PreviewLoaderTest, OtherExtensionsGetNothing) {
  const std::string file = StripFile(MakeTexturedJpeg(120, 80));
  for (const char* name : {"a.SRF", "b.raf", "c.psd", "d.crw", "noextension"}) EXPECT_EQ(Load(name, file), TSize{}) << name;
}

TEST_F(PreviewLoaderTest, AFileThatCannotBeOpenedFailsOutright) {
  TQuickLoader loader;
  TJpegGraphic image;
  EXPECT_THROW(loader.LoadPreview(dir_.Path() + "/missing.nef", image), EMorvaneError);
  EXPECT_NO_THROW(loader.LoadPreview(dir_.Path() + "/missing.pef", image));
}

TEST_F(PreviewLoaderTest, TiffImagesTooLargeToHoldAreRefused) {
  TiffWriter writer;
  const int ifd0 = writer.NewIfd();
  writer.Add(ifd0, 256, TiffWriter::kLong, {60000});
  writer.Add(ifd0, 257, TiffWriter::kLong, {60000});
  writer.Add(ifd0, 258, TiffWriter::kShort, {8, 8, 8});
  writer.Add(ifd0, 259, TiffWriter::kShort, {1});
  writer.Add(ifd0, 262, TiffWriter::kShort, {2});
  writer.Add(ifd0, 277, TiffWriter::kShort, {3});
  writer.AddBlob(ifd0, 273, 279, std::string(300, 'x'));
  TDibGraphic image;
  image.SetRaster(TRaster(2, 2, pf24bit));
  ::testing::internal::CaptureStderr();
  LoadLastTiffImage(dir_.Write("huge.dng", writer.Build()), image);
  EXPECT_TRUE(image.Empty());
  // A directory libtiff complains about: its messages go nowhere.
  LoadLastTiffImage(dir_.Write("bad.nef", std::string("II*\0\x08\0\0\0\x05\0garbage garbage garbage", 33)), image);
  EXPECT_TRUE(image.Empty());
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace morvane
