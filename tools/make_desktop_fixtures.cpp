// Writes the files the desktop tests ask real file managers' thumbnail services about: one raw
// file of each TIFF-based type with a 400x300 four-colour JPEG preview, a PSD with that picture
// as its thumbnail resource, a PSP holding it, one raw file whose camera was held upright
// (Orientation 6), and one with an extension the thumbnailer serves but no picture.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "support/jpeg_fixture.h"
#include "support/raw_fixture.h"
#include "support/tiff_writer.h"

namespace {

using namespace morvane::testing;

std::string RawWithPreview(int orientation) {
  TiffWriter writer;
  const int ifd0 = writer.NewIfd();
  AddRgbImage(writer, ifd0, 16, 12, orientation);
  const int sub = writer.NewIfd();
  writer.AddBlob(sub, 513, 514, MakeQuadrantJpeg(400, 300));
  writer.AddSubIfds(ifd0, {sub});
  return writer.Build();
}

std::string Be16(uint32_t v) { return {static_cast<char>(v >> 8), static_cast<char>(v)}; }
std::string Be32(uint32_t v) { return Be16(v >> 16) + Be16(v & 0xffff); }

// A layered image whose image resources hold the JPEG thumbnail resource (1036).
std::string PsdWithThumbnail() {
  const std::string jpeg = MakeQuadrantJpeg(400, 300);
  std::string thumbnail = Be32(1) + Be32(400) + Be32(300) + Be32(1200) + Be32(1200 * 300) +
                          Be32(static_cast<uint32_t>(jpeg.size())) + Be16(24) + Be16(1) + jpeg;
  if (thumbnail.size() % 2 != 0) thumbnail.push_back('\0');
  const std::string resource = std::string("8BIM") + Be16(1036) + std::string(2, '\0') +
                               Be32(static_cast<uint32_t>(thumbnail.size())) + thumbnail;
  return std::string("8BPS", 4) + Be16(1) + std::string(6, '\0') + Be16(3) + Be32(300) + Be32(400) + Be16(8) +
         Be16(3) + Be32(0) + Be32(static_cast<uint32_t>(resource.size())) + resource + Be32(0) + Be16(0);
}

// A layered image of the other family: its signature, then the JPEG, which the scanner finds.
std::string PspWithJpeg() {
  return std::string("Paint Shop Pro Image File\n\x1a\0\0\0\0\0", 32) + Be16(5) + Be16(0) + MakeQuadrantJpeg(400, 300);
}

bool Write(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: morvane_make_desktop_fixtures FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const std::string upright = RawWithPreview(1);
  bool written = true;
  for (const char* extension : {"nef", "cr2", "dng", "pef", "arw", "orf", "sr2", "srf"})
    written = Write(folder + "/quadrants." + extension, upright) && written;
  written = Write(folder + "/quadrants.psd", PsdWithThumbnail()) && written;
  written = Write(folder + "/quadrants.psp", PspWithJpeg()) && written;
  written = Write(folder + "/rotated.nef", RawWithPreview(6)) && written;
  written = Write(folder + "/nothing.nef", "not a raw file\n") && written;
  return written ? 0 : 1;
}
