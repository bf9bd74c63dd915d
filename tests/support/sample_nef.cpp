#include "support/sample_nef.h"

#include <cmath>

#include "support/jpeg_fixture.h"
#include "support/tiff_writer.h"

namespace morvane::testing {

namespace {

std::string NikonMakerNote() {
  TiffWriter inner(Order::kMotorola);
  const int ifd = inner.NewIfd();
  inner.AddBytes(ifd, 1, TiffWriter::kUndefined, "0210");
  inner.Add(ifd, 2, TiffWriter::kShort, {0, 200});
  inner.AddAscii(ifd, 4, "RAW    ");
  inner.Add(ifd, 132, TiffWriter::kRational, {18, 1, 70, 1, 35, 10, 45, 10});
  return std::string("Nikon\0\x02\x10\0\0", 10) + inner.Build();
}

// A landscape to look at: sky fading to the horizon, a sun, green hills and a lake.
TColor Landscape(int x, int y, int width, int height) {
  const double u = static_cast<double>(x) / width;
  const double v = static_cast<double>(y) / height;
  const double hill = 0.62 + 0.06 * std::sin(u * 9.0) + 0.03 * std::sin(u * 23.0 + 1.0);
  if (std::hypot(u - 0.72, (v - 0.25) * height / width) < 0.07) return MakeColor(255, 214, 90);
  if (v < hill) {
    const auto t = static_cast<uint8_t>(120 + 120 * v / hill);
    return MakeColor(static_cast<uint8_t>(t / 2), static_cast<uint8_t>(t * 3 / 4), 235);
  }
  if (v > 0.86 && u > 0.15 && u < 0.6) return MakeColor(40, 90, 170);
  const auto g = static_cast<uint8_t>(150 - 80 * (v - hill));
  return MakeColor(40, g, 50);
}

}  // namespace

std::string BuildSampleNef() {
  TiffWriter w(Order::kIntel);
  const int ifd0 = w.NewIfd();
  const int preview = w.NewIfd();
  const int raw = w.NewIfd();
  const int exif = w.NewIfd();
  const int gps = w.NewIfd();
  w.Add(ifd0, 254, TiffWriter::kLong, {1});
  w.AddAscii(ifd0, 271, "NIKON CORPORATION");
  w.AddAscii(ifd0, 272, "NIKON D70");
  w.Add(ifd0, 274, TiffWriter::kShort, {1});
  w.Add(ifd0, 282, TiffWriter::kRational, {300, 1});
  w.Add(ifd0, 283, TiffWriter::kRational, {300, 1});
  w.Add(ifd0, 296, TiffWriter::kShort, {2});
  w.AddAscii(ifd0, 305, "Morvane sample");
  w.AddAscii(ifd0, 306, "2005:07:01 10:20:30");
  w.AddSubIfds(ifd0, {preview, raw});
  w.AddPointer(ifd0, 34665, exif);
  w.AddPointer(ifd0, 34853, gps);
  constexpr int kPreviewWidth = 640;
  constexpr int kPreviewHeight = 426;
  w.Add(preview, 254, TiffWriter::kLong, {1});
  w.Add(preview, 259, TiffWriter::kShort, {6});
  w.AddBlob(preview, 513, 514,
            MakeJpeg(kPreviewWidth, kPreviewHeight,
                     [](int x, int y) { return Landscape(x, y, kPreviewWidth, kPreviewHeight); }));
  w.Add(raw, 254, TiffWriter::kLong, {0});
  w.Add(raw, 256, TiffWriter::kLong, {3008});
  w.Add(raw, 257, TiffWriter::kLong, {2000});
  w.Add(exif, 33434, TiffWriter::kRational, {1, 60});
  w.Add(exif, 33437, TiffWriter::kRational, {35, 10});
  w.Add(exif, 34855, TiffWriter::kShort, {200});
  w.AddAscii(exif, 36867, "2005:07:01 10:20:30");
  w.Add(exif, 37385, TiffWriter::kShort, {0});
  w.Add(exif, 37386, TiffWriter::kRational, {18, 1});
  w.AddBytes(exif, 37500, TiffWriter::kUndefined, NikonMakerNote());
  w.AddBytes(gps, 0, TiffWriter::kByte, std::string("\x02\x02\0\0", 4));
  w.AddAscii(gps, 1, "N");
  w.Add(gps, 2, TiffWriter::kRational, {52, 1, 22, 1, 3456, 100});
  return w.Build();
}

}  // namespace morvane::testing
