#include "thumbnail/preview_loader.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "support/bmff_writer.h"
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
    return SizeOf(image);
  }
  // The same bytes as a stream: no sidecar beside it is offered.
  static TSize LoadStream(const std::string& name, const std::string& bytes, int32_t min_size) {
    TQuickLoader loader;
    loader.MinSize = min_size;
    TJpegGraphic image;
    TMemoryStream stream(bytes);
    loader.LoadPreview(stream, name, image);
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

// Files of each type with several previews of distinct sizes, each a JPEG (or RGB image) of its
// own size, listed in no particular order; the preview chosen is known by the size it decodes to.
std::string Cr2File() {
  TiffWriter writer;
  const int ifd0 = writer.NewIfd(), ifd1 = writer.NewIfd();
  writer.SetNext(ifd0, ifd1);
  writer.AddBlob(ifd0, 273, 279, testing::MakeQuadrantJpeg(1536, 1024));
  writer.AddBlob(ifd1, 513, 514, testing::MakeQuadrantJpeg(160, 120));
  return writer.Build();
}

// An RGB thumbnail in IFD0, JPEG previews in sub-directories, and the raw image as one JPEG
// strip (colour filter array data), which is never a preview.
std::string DngFile(Order order) {
  TiffWriter writer(order);
  const int ifd0 = writer.NewIfd();
  testing::AddRgbImage(writer, ifd0, 128, 96);
  std::vector<int> subs;
  for (const TSize s : {TSize{2048, 1536}, TSize{600, 400}, TSize{320, 240}, TSize{1024, 768}}) {
    subs.push_back(writer.NewIfd());
    writer.Add(subs.back(), 262, TiffWriter::kShort, {s.Width == 600 ? 32803u : 6u});
    writer.AddBlob(subs.back(), 273, 279, testing::MakeQuadrantJpeg(s.Width, s.Height));
  }
  writer.AddSubIfds(ifd0, subs);
  return writer.Build();
}

std::string NefFile() {
  TiffWriter writer;
  const int ifd0 = writer.NewIfd();
  testing::AddRgbImage(writer, ifd0, 160, 120);
  const int large = writer.NewIfd(), medium = writer.NewIfd();
  writer.AddBlob(large, 513, 514, testing::MakeQuadrantJpeg(1200, 800));
  writer.AddBlob(medium, 513, 514, testing::MakeQuadrantJpeg(640, 424));
  writer.AddSubIfds(ifd0, {large, medium});
  return writer.Build();
}

std::string PefFile() {
  TiffWriter writer;
  const int ifd0 = writer.NewIfd(), ifd1 = writer.NewIfd(), ifd2 = writer.NewIfd(), exif = writer.NewIfd();
  writer.AddPointer(ifd0, 34665, exif);
  writer.SetNext(ifd0, ifd1);
  writer.SetNext(ifd1, ifd2);
  writer.AddBlob(exif, 513, 514, testing::MakeQuadrantJpeg(160, 120));
  writer.AddBlob(ifd1, 513, 514, testing::MakeQuadrantJpeg(1280, 960));
  writer.AddBlob(ifd2, 513, 514, testing::MakeQuadrantJpeg(640, 480));
  return writer.Build();
}

// The header points at the whole JPEG, whose EXIF carries a 160 x 120 thumbnail.
std::string RafFile() {
  TiffWriter exif(Order::kMotorola);
  const int ifd0 = exif.NewIfd(), ifd1 = exif.NewIfd();
  exif.SetNext(ifd0, ifd1);
  exif.AddBlob(ifd1, 513, 514, testing::MakeQuadrantJpeg(160, 120));
  const std::string jpeg = testing::MakeJpegWithInner(1280, 960, exif.Build());
  std::string file = "FUJIFILMCCD-RAW 0201FF393201";
  file.resize(84, '\0');
  file += testing::EncodeNumber(Order::kMotorola, 100, 4) + testing::EncodeNumber(Order::kMotorola, jpeg.size(), 4);
  file.resize(100, '\0');
  return file + jpeg + std::string(64, '\0');
}

// A heap of two records, the camera's JPEG and another, with its directory at the end.
std::string CrwFile() {
  const std::string header = std::string("II\x1A\0\0\0HEAPCCDR", 14) + std::string(12, '\0');
  const std::string jpeg = testing::MakeQuadrantJpeg(1024, 680), other = "name of the picture";
  const std::string heap = jpeg + other;
  auto entry = [](uint32_t type, size_t size, size_t offset) {
    return testing::EncodeNumber(Order::kIntel, type, 2) + testing::EncodeNumber(Order::kIntel, size, 4) +
           testing::EncodeNumber(Order::kIntel, offset, 4);
  };
  const std::string directory = testing::EncodeNumber(Order::kIntel, 2, 2) + entry(0x0805, other.size(), jpeg.size()) +
                                entry(0x2007, jpeg.size(), 0);
  return header + heap + directory + testing::EncodeNumber(Order::kIntel, heap.size(), 4);
}

// THMB, PRVW and the first track's JPEG.
std::string Cr3File() {
  testing::Cr3Parts parts;
  parts.Thumbnail = testing::MakeQuadrantJpeg(160, 120);
  parts.Preview = testing::MakeQuadrantJpeg(540, 360);
  parts.FullSize = testing::MakeQuadrantJpeg(1200, 800);
  return testing::BuildCr3(parts);
}

// The TIFF variant with magic 0x55, its JPEG in IFD0's JpgFromRaw, an RGB thumbnail after it.
std::string Rw2File() {
  TiffWriter writer;
  const int ifd0 = writer.NewIfd(), ifd1 = writer.NewIfd();
  writer.SetNext(ifd0, ifd1);
  writer.AddBytes(ifd0, 0x002E, TiffWriter::kUndefined, testing::MakeQuadrantJpeg(640, 480));
  writer.AddBlob(ifd1, 513, 514, testing::MakeQuadrantJpeg(160, 120));
  std::string file = writer.Build();
  file[2] = 'U';
  return file;
}

TEST_F(PreviewLoaderTest, TheSmallestPreviewThatCoversTheRequestElseTheLargest) {
  dir_.Write("c.thm", testing::MakeQuadrantJpeg(160, 120));
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::pair<int32_t, TSize>> chosen;
  } cases[] = {
      {"a.cr2", Cr2File(), {{96, {160, 120}}, {160, {160, 120}}, {161, {1536, 1024}}, {2000, {1536, 1024}}}},
      {"i.dng",
       DngFile(Order::kIntel),
       {{96, {128, 96}},
        {128, {128, 96}},
        {129, {320, 240}},
        {321, {1024, 768}},
        {1024, {1024, 768}},
        {1025, {2048, 1536}},
        {4000, {2048, 1536}}}},
      {"m.dng", DngFile(Order::kMotorola), {{96, {128, 96}}, {257, {320, 240}}, {1024, {1024, 768}}, {1025, {2048, 1536}}}},
      {"n.nef", NefFile(), {{96, {160, 120}}, {256, {640, 424}}, {1024, {1200, 800}}, {2000, {1200, 800}}}},
      {"p.pef", PefFile(), {{96, {160, 120}}, {256, {640, 480}}, {1024, {1280, 960}}}},
      {"s.ARW", PefFile(), {{512, {640, 480}}}},
      {"s.srw", PefFile(), {{96, {160, 120}}, {512, {640, 480}}}},
      {"p.IIQ", PefFile(), {{1024, {1280, 960}}}},
      {"n.nrw", NefFile(), {{96, {160, 120}}, {256, {640, 424}}, {1024, {1200, 800}}}},
      {"h.3fr", NefFile(), {{256, {640, 424}}}},
      {"c.cr3", Cr3File(), {{96, {160, 120}}, {160, {160, 120}}, {161, {540, 360}}, {541, {1200, 800}}, {3000, {1200, 800}}}},
      {"r.rw2", Rw2File(), {{96, {160, 120}}, {256, {640, 480}}, {1024, {640, 480}}}},
      {"r.RWL", Rw2File(), {{256, {640, 480}}}},
      {"f.raf", RafFile(), {{96, {160, 120}}, {256, {1280, 960}}, {2000, {1280, 960}}}},
      {"c.crw", CrwFile(), {{96, {160, 120}}, {161, {1024, 680}}, {1024, {1024, 680}}}},
  };
  for (const Case& c : cases)
    for (const auto& [request, size] : c.chosen) {
      EXPECT_EQ(Load(c.name, c.bytes, request), size) << c.name << " at " << request;
      // c.crw's small preview is its sidecar, which a stream does not have.
      if (std::string_view(c.name) != "c.crw") {
        EXPECT_EQ(LoadStream(c.name, c.bytes, request), size) << c.name << " from a stream at " << request;
      }
    }
}

TEST(PreviewChoiceTest, TiesKeepTheListedOrder) {
  const std::vector<TImageSize> sizes = {{640, 480}, {160, 120}, {480, 640}, {90, 45}, {160, 120}};
  EXPECT_EQ(ChoosePreviews(sizes, 96), (std::vector<size_t>{1, 4, 0, 2, 3}));
  EXPECT_EQ(ChoosePreviews(sizes, 1000), (std::vector<size_t>{0, 2, 1, 4, 3}));
  EXPECT_TRUE(ChoosePreviews({}, 96).empty());
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
  EXPECT_EQ(LoadStream("m.mrw", raw, 161), TSize{}) << "a stream has no sidecars";
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
    // The only preview the metadata knows serves every size; the thumbnail maker asks the
    // scanner for a larger one.
    EXPECT_EQ(Load("o.orf", file, 160), (TSize{160, 120}));
    EXPECT_EQ(Load("o.ORF", file, 161), (TSize{160, 120}));
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
