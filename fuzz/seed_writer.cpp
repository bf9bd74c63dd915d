// Writes the generated part of the fuzz targets' seed corpora: small files from the test fixture
// writers, one folder per target under the folder given. scripts/fuzz.sh adds the sample files.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "support/bmff_writer.h"
#include "support/jpeg_fixture.h"
#include "support/jpeg_writer.h"
#include "support/sample_nef.h"
#include "support/tiff_writer.h"
#include "support/x3f_writer.h"

namespace {

using namespace morvane::testing;

// A TIFF with the structures the readers walk: EXIF, GPS and interoperability pointers,
// sub-directories, an IFD1 thumbnail, a strip and a maker note.
std::string RichTiff(Order order, const std::string& make) {
  TiffWriter w(order);
  const int ifd0 = w.NewIfd();
  const int exif = w.NewIfd();
  const int gps = w.NewIfd();
  const int sub = w.NewIfd();
  const int ifd1 = w.NewIfd();
  w.AddAscii(ifd0, 271, make);
  w.AddAscii(ifd0, 272, make + " model");
  w.Add(ifd0, 274, TiffWriter::kShort, {6});
  w.AddAscii(ifd0, 306, "2024:05:06 07:08:09");
  w.AddPointer(ifd0, 34665, exif);
  w.AddPointer(ifd0, 34853, gps);
  w.AddSubIfds(ifd0, {sub});
  w.Add(exif, 33434, TiffWriter::kRational, {1, 250});
  w.Add(exif, 33437, TiffWriter::kRational, {28, 10});
  w.Add(exif, 34855, TiffWriter::kShort, {400});
  w.Add(exif, 37385, TiffWriter::kShort, {16});
  w.Add(exif, 37386, TiffWriter::kRational, {50, 1});
  w.AddBytes(exif, 37500, TiffWriter::kUndefined, std::string("Nikon\0\x02\x10\0\0", 10) + "MM\0\x2A\0\0\0\x08\0\0\0\0\0\0");
  w.Add(gps, 1, TiffWriter::kAscii, {'N', 0});
  w.Add(gps, 2, TiffWriter::kRational, {51, 1, 30, 1, 0, 1});
  w.AddBlob(sub, 513, 514, MakeQuadrantJpeg(16, 16));
  w.SetNext(ifd0, ifd1);
  w.AddBlob(ifd1, 513, 514, MakeQuadrantJpeg(8, 8));
  return w.Build();
}

std::string PspFile(const std::string& tiff) {
  return std::string("Paint Shop Pro Image File\n\x1a\0\0\0\0\0", 32) + "Exif" + std::string(2, '\0') +
         tiff;
}

std::map<std::string, std::vector<std::string>> Seeds() {
  const std::string intel = RichTiff(Order::kIntel, "NIKON CORPORATION");
  const std::string motorola = RichTiff(Order::kMotorola, "Canon");
  const std::string iptc = IptcRecords({{5, "Title"}, {25, "one"}, {25, "two"}, {80, "By"}, {120, "Caption"}});
  const std::string resources = ImageResource(1028, "", iptc) + ImageResource(1060, "x", "<x:xmpmeta/>") +
                                ImageResource(1058, "", intel);
  const std::string jpeg = JpegWriter()
                               .Jfif()
                               .Exif(intel)
                               .Xmp("<x:xmpmeta>\n</x:xmpmeta>")
                               .IccChunk(1, 1, "icc profile")
                               .Photoshop(resources)
                               .Comment("comment")
                               .Frame(640, 480)
                               .Build();
  const std::string picture = MakeQuadrantJpeg(64, 48);
  TJpegOptions progressive;
  progressive.Progressive = true;
  X3fWriter x3f;
  x3f.AddProperties({{"CAMMANUF", "SIGMA"}, {"CAMMODEL", "SD9"}, {"ISO", "100"}});
  x3f.AddJpegImage(MakeJpegWithInner(32, 32, jpeg));

  std::map<std::string, std::vector<std::string>> seeds;
  seeds["tif"] = {intel, motorola, jpeg, BuildSampleNef()};
  seeds["tag_list"] = seeds["tif"];
  seeds["preview_loader"] = {intel, motorola, BuildSampleNef()};
  seeds["jpeg_segments"] = {jpeg, picture};
  seeds["image_resources"] = {resources};
  seeds["iptc"] = {iptc};
  seeds["x3f"] = {x3f.Build()};
  seeds["psd"] = {PsdFile(resources)};
  seeds["psp"] = {PspFile(intel), PspFile(motorola)};
  Cr3Parts cr3;
  cr3.Cmt1 = cr3.Cmt2 = cr3.Cmt3 = cr3.Cmt4 = intel;
  cr3.Thumbnail = MakeQuadrantJpeg(16, 12);
  cr3.Preview = cr3.FullSize = picture;
  seeds["bmff"] = {BuildCr3(cr3)};
  cr3.LargeMedia = cr3.ShortOffsets = true;
  seeds["bmff"].push_back(BuildCr3(cr3));
  seeds["jpeg_decode"] = {picture, MakeQuadrantJpeg(40, 30, progressive), MakeCmykJpeg(16, 16, 10, 20, 30, 40),
                          MakeTwoComponentJpeg(16, 16), MakeJpegWithInner(32, 32, picture)};
  seeds["cache_blob"] = {picture, MakeQuadrantJpeg(96, 64)};
  seeds["preview_scan"] = {PadJpeg(MakeTexturedJpeg(160, 120), 4096) + intel,
                           intel + MakeTexturedJpeg(200, 100)};
  return seeds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: morvane_fuzz_seeds FOLDER\n");
    return 2;
  }
  for (const auto& [target, files] : Seeds()) {
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / target;
    std::filesystem::create_directories(folder);
    for (size_t i = 0; i < files.size(); ++i) {
      std::ofstream out(folder / ("generated-" + std::to_string(i)), std::ios::binary);
      out.write(files[i].data(), static_cast<std::streamsize>(files[i].size()));
      if (!out) return 1;
    }
  }
  return 0;
}
