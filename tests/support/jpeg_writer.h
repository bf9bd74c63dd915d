// Builds JPEG files for tests: the start-of-image marker, segments in the order given (EXIF,
// XMP, ICC chunks, Photoshop resources, comments, frame headers or raw ones), a short scan and
// the end-of-image marker; and the image-resource blocks and IPTC datasets they carry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morvane::testing {

class JpegWriter {
 public:
  // A segment with that marker code and data; its length field is computed.
  JpegWriter& Segment(uint16_t code, const std::string& data);
  JpegWriter& Jfif();
  JpegWriter& Exif(const std::string& tiff);
  JpegWriter& Xmp(const std::string& packet);
  JpegWriter& IccChunk(uint8_t number, uint8_t count, const std::string& bytes);
  JpegWriter& Photoshop(const std::string& resources);
  JpegWriter& Comment(const std::string& text);
  JpegWriter& Frame(uint16_t width, uint16_t height, uint16_t code = 0xFFC0);
  // Bytes written as they are, for damaged files.
  JpegWriter& Raw(const std::string& bytes);

  // SOI, the segments, a scan header, scan data and EOI.
  std::string Build() const;

 private:
  std::string body_;
};

// A Photoshop file of an 8 x 8 RGB image: header, a 6-byte colour-mode section, the
// image-resource section holding `resources`, and an empty layer section.
std::string PsdFile(const std::string& resources);
// One "8BIM" block in big-endian order, name and data padded to even length.
std::string ImageResource(uint16_t id, const std::string& name, const std::string& data);
// One IPTC dataset: 1C, record, dataset number, 2-byte big-endian length, data.
std::string IptcDataset(uint8_t record, uint8_t dataset, const std::string& data);
// Application-record datasets (record 2) for each (dataset, data) pair.
std::string IptcRecords(const std::vector<std::pair<uint8_t, std::string>>& datasets);

}  // namespace morvane::testing
