#include "support/x3f_writer.h"

namespace morvane::testing {

namespace {

std::string Le16(uint32_t value) {
  return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

std::string Utf16Bytes(const std::u16string& text) {
  std::string bytes;
  for (char16_t c : text) bytes += Le16(c);
  return bytes;
}

std::u16string Widened(const std::string& text) {
  std::u16string wide;
  for (char c : text) wide += static_cast<char16_t>(static_cast<unsigned char>(c));
  return wide;
}

}  // namespace

std::string Le32(uint32_t value) { return Le16(value & 0xFFFF) + Le16(value >> 16); }

std::string X3fWriter::PropertySectionRaw(uint32_t count, uint32_t total_chars,
                                          const std::vector<uint32_t>& offsets,
                                          const std::u16string& chars) {
  std::string bytes = "SECp" + Le32(0x20000) + Le32(count) + Le32(0) + Le32(0) + Le32(total_chars);
  for (uint32_t offset : offsets) bytes += Le32(offset);
  return bytes + Utf16Bytes(chars);
}

std::string X3fWriter::PropertySection(const Properties& properties) {
  std::vector<uint32_t> offsets;
  std::u16string chars;
  for (const auto& [name, value] : properties) {
    offsets.push_back(static_cast<uint32_t>(chars.size()));
    chars += Widened(name) + u'\0';
    offsets.push_back(static_cast<uint32_t>(chars.size()));
    chars += Widened(value) + u'\0';
  }
  return PropertySectionRaw(static_cast<uint32_t>(properties.size()),
                            static_cast<uint32_t>(chars.size()), offsets, chars);
}

void X3fWriter::AddProperties(const Properties& properties) {
  sections_.emplace_back("PROP", PropertySection(properties));
}

void X3fWriter::AddJpegImage(const std::string& jpeg) {
  const uint32_t columns = 160, rows = 120;
  sections_.emplace_back("IMA2", "SECi" + Le32(0x20000) + Le32(2) + Le32(18) + Le32(columns) +
                                     Le32(rows) + Le32(0) + jpeg);
}

void X3fWriter::AddSection(const std::string& type, const std::string& bytes) {
  sections_.emplace_back(type, bytes);
}

std::string X3fWriter::Build() const {
  std::string file = "FOVb" + Le16(V0) + Le16(V1) + std::string(20, 'i') + Le32(Width) + Le32(Height) +
                     Le32(Rotation) + std::string(24, '\0');
  std::string entries;
  for (const auto& [type, bytes] : sections_) {
    entries += Le32(static_cast<uint32_t>(file.size())) + Le32(static_cast<uint32_t>(bytes.size())) + type;
    file += bytes;
  }
  const auto directory = static_cast<uint32_t>(file.size());
  const auto count = entry_count_raw_ >= 0 ? static_cast<uint32_t>(entry_count_raw_)
                                           : static_cast<uint32_t>(sections_.size());
  file += "SECd" + Le32(0x20000) + Le32(count) + entries;
  return file + Le32(directory);
}

}  // namespace morvane::testing
