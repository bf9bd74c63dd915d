// Builds X3F files for tests: the header (version words, image size, rotation), property,
// JPEG image and raw sections, and the section directory the last 4 bytes point at.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace morvane::testing {

class X3fWriter {
 public:
  uint16_t V0 = 2;
  uint16_t V1 = 2;
  uint32_t Width = 2640;
  uint32_t Height = 1760;
  uint32_t Rotation = 0;

  using Properties = std::vector<std::pair<std::string, std::string>>;

  // A property section: every name and value zero-terminated UTF-16, offsets in characters.
  void AddProperties(const Properties& properties);
  // An image section of format 18 holding `jpeg`.
  void AddJpegImage(const std::string& jpeg);
  // A section of that type with these bytes (for damaged sections).
  void AddSection(const std::string& type, const std::string& bytes);
  // Writes this count instead of the real number of directory entries.
  void SetEntryCountRaw(uint32_t count) { entry_count_raw_ = static_cast<int64_t>(count); }

  std::string Build() const;

  // The property section bytes on their own, with raw header fields (for damaged sections).
  static std::string PropertySection(const Properties& properties);
  static std::string PropertySectionRaw(uint32_t count, uint32_t total_chars,
                                        const std::vector<uint32_t>& offsets, const std::u16string& chars);

 private:
  std::vector<std::pair<std::string, std::string>> sections_;  // type, bytes
  int64_t entry_count_raw_ = -1;
};

std::string Le32(uint32_t value);

}  // namespace morvane::testing
