// The JPEG segment walk: what it records, where it stops, which segment each kind finds, the
// ordering keys, the frame size, and damaged lengths.
#include "metadata/jpeg_segments.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "support/jpeg_writer.h"

namespace morvane {
namespace {

using testing::JpegWriter;

TMemoryStream AfterStartOfImage(const std::string& jpeg) {
  TMemoryStream stream(jpeg);
  stream.Seek(2);
  return stream;
}

TEST(JpegSegmentsTest, WalkRecordsSegmentsUpToTheScanData) {
  const std::string jpeg = JpegWriter()
                               .Jfif()
                               .Exif("II*\0")
                               .Xmp("<x/>")
                               .Segment(0xFFE0, "AVI1")
                               .Comment("hello")
                               .Frame(3008, 2000)
                               .Build();
  TMemoryStream stream = AfterStartOfImage(jpeg);
  TJpgMarkers markers;
  EXPECT_EQ(markers.ReadFromStream(stream), 7);
  const int codes[] = {0xFFE0, 0xFFE1, 0xFFE1, 0xFFE0, 0xFFFE, 0xFFC0, 0xFFDA};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(markers[i]->AppCode, codes[i]);
  EXPECT_EQ(markers[4]->DataStream.View(), "hello");
  // The walk stops at the first scan byte, which is not FF.
  EXPECT_EQ(static_cast<uint8_t>(jpeg[static_cast<size_t>(stream.Position())]), 0x12);

  EXPECT_EQ(markers.FindMarker(jmkJfif), markers[0]);
  EXPECT_EQ(markers.FindMarker(jmkExif), markers[1]);
  EXPECT_EQ(markers.FindMarker(jmkXmp), markers[2]);
  EXPECT_EQ(markers.FindMarker(jmkComment), markers[4]);
  EXPECT_EQ(markers.FindMarker(jmkIccProfile), nullptr);
  EXPECT_EQ(markers.GetDimensions(), "3008x2000");

  const int orders[] = {0, 10, 15, 1, -1, 10005, 10006};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(markers[i]->MarkerAppOrder(), orders[i]) << i;
}

TEST(JpegSegmentsTest, WalkEndsAtEndOfImage) {
  TMemoryStream stream(std::string("\xFF\xE1\x00\x04" "ab\xFF\xD9\xFF\xE1\x00\x02", 12));
  TJpgMarkers markers;
  EXPECT_EQ(markers.ReadFromStream(stream), 1);
  EXPECT_EQ(stream.Position(), 6);
}

TEST(JpegSegmentsTest, WalkStopsAfterTheSegmentLimit) {
  std::string bytes;
  for (int i = 0; i < kMaxJpgMarkers; ++i) bytes += std::string("\xFF\xE5\x00\x02", 4);
  TMemoryStream stream(bytes + JpegWriter().Frame(8, 8).Build().substr(2));
  TJpgMarkers markers;
  EXPECT_EQ(markers.ReadFromStream(stream), kMaxJpgMarkers);
  EXPECT_EQ(markers.GetDimensions(), "");
}

TEST(JpegSegmentsTest, DimensionsNeedABaselineFrameHeader) {
  const std::pair<std::string, std::string> cases[] = {
      {JpegWriter().Frame(640, 480, 0xFFC2).Build(), ""},
      {JpegWriter().Frame(0, 0).Build(), ""},
      {JpegWriter().Segment(0xFFC0, std::string("\x08\x01", 2)).Build(), ""},
      {JpegWriter().Frame(1, 0).Build(), "1x0"},
  };
  for (const auto& [jpeg, dimensions] : cases) {
    TMemoryStream stream = AfterStartOfImage(jpeg);
    TJpgMarkers markers;
    markers.ReadFromStream(stream);
    EXPECT_EQ(markers.GetDimensions(), dimensions);
  }
}

TEST(JpegSegmentsTest, ShortDataMatchesTheStartOfAnIdentifier) {
  TMemoryStream stream(std::string("\xFF\xE1\x00\x04" "Ex\xFF\xE1\x00\x02", 10));
  TJpgMarkers markers;
  markers.ReadFromStream(stream);
  ASSERT_EQ(markers.Count(), 2);
  EXPECT_EQ(markers.FindMarker(jmkExif), markers[0]);
}

TEST(JpegSegmentsTest, DamagedLengthsFailTheWalk) {
  const std::string cases[] = {
      std::string("\xFF\xE1\x00\x10short", 9),  // runs past the end
      std::string("\xFF\xE1\x00\x01", 4),       // below its own size
      std::string("\xFF\xE1\x00", 3),           // cut inside the length
  };
  for (const auto& bytes : cases) {
    TMemoryStream stream(bytes);
    TJpgMarkers markers;
    EXPECT_THROW(markers.ReadFromStream(stream), EReadError);
  }
}

}  // namespace
}  // namespace morvane
