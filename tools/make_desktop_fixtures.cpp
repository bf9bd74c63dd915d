// Writes the files the desktop tests ask real file managers' thumbnail services about: one raw
// file of each TIFF-based type with a 400x300 four-colour JPEG preview, one whose camera was
// held upright (Orientation 6), and one with an extension the thumbnailer serves but no picture.
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
  written = Write(folder + "/rotated.nef", RawWithPreview(6)) && written;
  written = Write(folder + "/nothing.nef", "not a raw file\n") && written;
  return written ? 0 : 1;
}
