// `morvane tags`: exit codes, one listing line per output line, UTF-8 output.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/run_cli.h"
#include "support/sample_nef.h"
#include "support/samples.h"
#include "support/temp_file.h"
#include "support/tiff_writer.h"

namespace morvane {
namespace {

using testing::RunCli;
using testing::ShellQuote;
using testing::TiffWriter;

bool HasLine(const std::string& out, const std::string& line) {
  return ("\n" + out).find("\n" + line + "\n") != std::string::npos;
}

TEST(TagsCommandTest, MissingFilesAndWrongCalls) {
  const auto missing = RunCli("tags /no/such/file.nef");
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1);
  EXPECT_TRUE(missing.out.empty());
  EXPECT_EQ(RunCli("tags").exit_code, 2);
  EXPECT_EQ(RunCli("tags -j 0 a").exit_code, 2);
  EXPECT_NE(RunCli("--help").out.find("tags"), std::string::npos);
}

TEST(TagsCommandTest, ListsInUtf8OneLinePerListingLine) {
  TiffWriter w;
  const int ifd0 = w.NewIfd();
  w.AddAscii(ifd0, 271, "Canon");
  w.AddAscii(ifd0, 270, "two\nlines");
  w.Add(ifd0, 274, TiffWriter::kShort, {3});
  testing::TempDir dir;
  const auto r = RunCli("tags " + ShellQuote(dir.Write("rotated.tif", w.Build())));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_TRUE(r.err.empty()) << r.err;
  EXPECT_TRUE(HasLine(r.out, "Orientation=Rotated 180\xC2\xB0")) << r.out;
  EXPECT_TRUE(HasLine(r.out, "Image Description=two\\x0Alines")) << r.out;
  EXPECT_TRUE(HasLine(r.out, "Byte Order=Intel"));
}

TEST(TagsCommandTest, FilesWithNothingOrABrokenListingStillSucceed) {
  testing::TempDir dir;
  const auto empty = RunCli("tags " + ShellQuote(dir.Write("x.nef", "no metadata in here")));
  EXPECT_EQ(empty.exit_code, 0);
  EXPECT_TRUE(empty.out.empty());

  // A Nikon file whose EXIF version is no number: the groups before the maker notes are listed
  // and the failure is reported.
  TiffWriter w;
  const int ifd0 = w.NewIfd();
  const int exif = w.NewIfd();
  w.AddAscii(ifd0, 271, "NIKON CORPORATION");
  w.AddPointer(ifd0, 34665, exif);
  w.AddBytes(exif, 36864, TiffWriter::kUndefined, "02x1");
  const auto broken = RunCli("tags " + ShellQuote(dir.Write("edited.nef", w.Build())));
  EXPECT_EQ(broken.exit_code, 0);
  EXPECT_TRUE(HasLine(broken.out, "Camera Maker=NIKON CORPORATION")) << broken.out;
  EXPECT_EQ(std::count(broken.err.begin(), broken.err.end(), '\n'), 1);
  EXPECT_NE(broken.err.find("02x1"), std::string::npos) << broken.err;
}

// Today's Olympus notes keep the equipment and the camera settings in sections of their own
// (one met through a pointer, one through a directory entry), with offsets from the note's
// start and the note's own byte order; each section is listed after the note with its names.
TEST(TagsCommandTest, OlympusSectionsAreListedWithTheirNames) {
  using testing::EncodeNumber;
  using testing::Order;
  for (Order order : {Order::kIntel, Order::kMotorola}) {
    const uint32_t equipment_at = 12 + 30;
    const uint32_t settings_at = equipment_at + 30;
    std::string note = std::string("OLYMPUS\0", 8) + (order == Order::kIntel ? "II" : "MM") +
                       EncodeNumber(order, 3, 2);
    note += TiffWriter::EncodeIfd(order, 12, 0,
                                  {{0x2010, {TiffWriter::kIfd, {equipment_at}}},
                                   {0x2020, {TiffWriter::kLong, {settings_at}}}});
    note += TiffWriter::EncodeIfd(order, equipment_at, 0,
                                  {{0x207, {TiffWriter::kShort, {14}}}, {0x208, {TiffWriter::kShort, {42}}}});
    note += TiffWriter::EncodeIfd(order, settings_at, 0,
                                  {{0x200, {TiffWriter::kShort, {3}}}, {0x507, {TiffWriter::kShort, {1}}}});
    // The file has the other byte order: the note's own one counts.
    TiffWriter w(order == Order::kIntel ? Order::kMotorola : Order::kIntel);
    const int ifd0 = w.NewIfd();
    const int exif = w.NewIfd();
    w.AddAscii(ifd0, 271, "OLYMPUS IMAGING CORP.");
    w.AddPointer(ifd0, 34665, exif);
    w.AddBytes(exif, 37500, TiffWriter::kUndefined, note);
    testing::TempDir dir;
    const auto r = RunCli("tags " + ShellQuote(dir.Write("e-m1.jpg", w.Build())));
    EXPECT_EQ(r.exit_code, 0);
    const size_t min_focal = r.out.find("\nMin Focal Length=14\nMax Focal Length=42\n=\n");
    const size_t exposure = r.out.find("\nExposure Mode=Aperture-priority AE\nColor Space=Adobe RGB\n=\n");
    EXPECT_NE(min_focal, std::string::npos) << r.out;
    EXPECT_NE(exposure, std::string::npos) << r.out;
    EXPECT_LT(min_focal, exposure);
  }
}

// Older Olympus notes hold a section's directory in the section tag's own value, at an offset
// from the TIFF header like the note's other offsets.
TEST(TagsCommandTest, OlympusSectionHeldInTheTagValue) {
  using testing::EncodeNumber;
  using testing::Order;
  const Order order = Order::kMotorola;
  auto note = [order](uint32_t position) {
    const uint32_t section_at = position + 8 + 18;
    return std::string("OLYMP\0\x01\0", 8) + EncodeNumber(order, 1, 2) + EncodeNumber(order, 0x2010, 2) +
           EncodeNumber(order, TiffWriter::kUndefined, 2) + EncodeNumber(order, 18, 4) +
           EncodeNumber(order, section_at, 4) + EncodeNumber(order, 0, 4) +
           TiffWriter::EncodeIfd(order, section_at, 0, {{0x202, {TiffWriter::kLong, {4711}}}});
  };
  TiffWriter w(order);
  const int ifd0 = w.NewIfd();
  const int exif = w.NewIfd();
  w.AddAscii(ifd0, 271, "OLYMPUS OPTICAL CO.,LTD");
  w.AddPointer(ifd0, 34665, exif);
  w.AddPositioned(exif, 37500, note);
  testing::TempDir dir;
  const auto r = RunCli("tags " + ShellQuote(dir.Write("e-1.jpg", w.Build())));
  EXPECT_TRUE(HasLine(r.out, "Lens Serial Number=4711")) << r.out;
}

TEST(TagsCommandTest, TheBundledSample) {
  testing::TempDir dir;
  const auto r = RunCli("tags " + ShellQuote(dir.Write("sample.nef", testing::BuildSampleNef())));
  EXPECT_EQ(r.exit_code, 0);
  for (const char* line : {"Camera Maker=NIKON CORPORATION", "Exposure Time=1/60 sec", "F-Number=F3.5",
                           "Focal Length=18.00 mm", "Lens Information=18-70 mm  F3.5-F4.5",
                           "GPSLatitude=52 degrees 22 mins 35 secs (52.3763)"})
    EXPECT_TRUE(HasLine(r.out, line)) << line;
}

}  // namespace
}  // namespace morvane
