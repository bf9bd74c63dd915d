// The PSD and PSP readers. A PSD file's image resources follow its header and colour-mode data;
// a PSP file's EXIF block is found by its "Exif" signature near the start of the file. Both
// hand what they find to the resource and TIFF readers, which bound every read by the file.
#include "metadata/tif_reader.h"

namespace morvane {

namespace {

constexpr int64_t kPsdHeaderSize = 26;
constexpr std::string_view kPspExifSignature = "Exif";
constexpr int64_t kPspExifSearchLimit = 10000;
constexpr int64_t kPspExifHeaderSize = 6;  // "Exif" and two zero bytes
// The value offsets of a PSP EXIF block count from 8 bytes further on than its entries' own
// base, so values are read from a copy of the file's start that begins at byte 8.
constexpr int64_t kPspValueCopyStart = 8;
constexpr int64_t kPspValueCopySize = 10000;

}  // namespace

void TTif::ReadPsd(TStream& stream) {
  stream.Skip(kPsdHeaderSize);
  ByteOrder = tboMotorola;
  const uint32_t colour_mode_size = ReadDWord(stream, ByteOrder);
  stream.Skip(colour_mode_size);
  ReadDWord(stream, ByteOrder);  // the resource section's length: blocks end at their signature
  IPTCResources.ReadFromStream(&stream, ByteOrder);
  ProcessImageResources();
}

void TTif::ReadPsp(TStream& stream, bool quick_scan) {
  int64_t found = 0;
  if (!FindPattern(stream, kPspExifSignature, 0, kPspExifSearchLimit, found)) return;
  // A file shorter than the copy gives the bytes it has.
  TMemoryStream values;
  stream.Seek(kPspValueCopyStart);
  values.CopyFrom(stream, kPspValueCopySize);
  values.Seek(0);
  const int64_t tiff_start = found + kPspExifHeaderSize;
  stream.Seek(tiff_start);
  ReadTiff(stream, tiff_start, &values, true, quick_scan);
}

}  // namespace morvane
