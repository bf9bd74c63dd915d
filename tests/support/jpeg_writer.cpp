#include "support/jpeg_writer.h"

#include <stdexcept>

#include "support/tiff_writer.h"

namespace morvane::testing {

namespace {

std::string BigEndian16(uint32_t value) {
  return {static_cast<char>((value >> 8) & 0xFF), static_cast<char>(value & 0xFF)};
}

std::string BigEndian32(uint32_t value) {
  return BigEndian16(value >> 16) + BigEndian16(value & 0xFFFF);
}

}  // namespace

JpegWriter& JpegWriter::Segment(uint16_t code, const std::string& data) {
  if (data.size() + 2 > 0xFFFF) throw std::invalid_argument("segment too long");
  body_ += BigEndian16(code) + BigEndian16(static_cast<uint32_t>(data.size() + 2)) + data;
  return *this;
}

JpegWriter& JpegWriter::Jfif() {
  return Segment(0xFFE0, std::string("JFIF\0\x01\x02\x00\x00\x01\x00\x01\x00\x00", 14));
}

JpegWriter& JpegWriter::Exif(const std::string& tiff) {
  return Segment(0xFFE1, std::string("Exif\0\0", 6) + tiff);
}

JpegWriter& JpegWriter::Xmp(const std::string& packet) {
  return Segment(0xFFE1, std::string("http://ns.adobe.com/xap/1.0/\0", 29) + packet);
}

JpegWriter& JpegWriter::IccChunk(uint8_t number, uint8_t count, const std::string& bytes) {
  return Segment(0xFFE2, std::string("ICC_PROFILE\0", 12) + static_cast<char>(number) +
                             static_cast<char>(count) + bytes);
}

JpegWriter& JpegWriter::Photoshop(const std::string& resources) {
  return Segment(0xFFED, std::string("Photoshop 3.0\0", 14) + resources);
}

JpegWriter& JpegWriter::Comment(const std::string& text) { return Segment(0xFFFE, text); }

JpegWriter& JpegWriter::Frame(uint16_t width, uint16_t height, uint16_t code) {
  return Segment(code, std::string(1, '\x08') + BigEndian16(height) + BigEndian16(width) +
                           std::string("\x01\x01\x11\x00", 4));
}

JpegWriter& JpegWriter::Raw(const std::string& bytes) {
  body_ += bytes;
  return *this;
}

std::string JpegWriter::Build() const {
  const std::string scan_header = "\xFF\xDA" + BigEndian16(8) + std::string("\x01\x01\x00\x00\x3F\x00", 6);
  return "\xFF\xD8" + body_ + scan_header + std::string("\x12\x34\x56\x78", 4) + "\xFF\xD9";
}

std::string PsdFile(const std::string& resources) {
  auto be32 = [](uint32_t value) { return EncodeNumber(Order::kMotorola, value, 4); };
  const std::string header = std::string("8BPS\0\x01\0\0\0\0\0\0\0\x03", 14) + be32(8) + be32(8) +
                             std::string("\0\x08\0\x03", 4);
  return header + be32(6) + "colour" + be32(static_cast<uint32_t>(resources.size())) + resources +
         be32(0);
}

std::string ImageResource(uint16_t id, const std::string& name, const std::string& data) {
  std::string block = "8BIM" + BigEndian16(id) + static_cast<char>(name.size()) + name;
  if ((1 + name.size()) % 2 != 0) block += '\0';
  block += BigEndian32(static_cast<uint32_t>(data.size())) + data;
  if (data.size() % 2 != 0) block += '\0';
  return block;
}

std::string IptcDataset(uint8_t record, uint8_t dataset, const std::string& data) {
  return std::string("\x1C", 1) + static_cast<char>(record) + static_cast<char>(dataset) +
         BigEndian16(static_cast<uint32_t>(data.size())) + data;
}

std::string IptcRecords(const std::vector<std::pair<uint8_t, std::string>>& datasets) {
  std::string records;
  for (const auto& [dataset, data] : datasets) records += IptcDataset(2, dataset, data);
  return records;
}

}  // namespace morvane::testing
