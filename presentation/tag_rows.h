// The row builders the dictionary tables are written with: one call per row, reading like the
// line of the table it stands for (number, name, label, then the value rule if there is one).
#pragma once

#include <cstdint>
#include <string_view>

#include "presentation/tag_dictionary.h"

namespace morvane {

constexpr TTagEntry Row(uint16_t tag, std::string_view name, std::string_view label = {}) {
  return {.Tag = tag, .Name = name, .Description = label};
}

constexpr TTagEntry Values(uint16_t tag, std::string_view name, std::string_view label,
                           std::string_view enumeration) {
  return {.Tag = tag, .Name = name, .Description = label, .Enumeration = enumeration};
}

constexpr TTagEntry Pattern(uint16_t tag, std::string_view name, std::string_view label,
                            std::string_view format) {
  return {.Tag = tag, .Name = name, .Description = label, .FormatString = format};
}

constexpr TTagEntry Formatted(uint16_t tag, std::string_view name, std::string_view label,
                              TTagFormatter formatter) {
  return {.Tag = tag, .Name = name, .Description = label, .Formatter = formatter};
}

constexpr TTagEntry Dataset(uint16_t record, uint16_t tag, std::string_view name,
                            std::string_view label, int32_t max_length) {
  return {.Record = record, .Tag = tag, .Name = name, .Description = label,
          .MaxLength = max_length};
}

}  // namespace morvane
