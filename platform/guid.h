// GUIDs: creation from the system's random source and the registry text form
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (upper-case hexadecimal, 38 characters).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace morvane {

struct TGuid {
  uint32_t Data1 = 0;
  uint16_t Data2 = 0;
  uint16_t Data3 = 0;
  uint8_t Data4[8] = {};

  friend bool operator==(const TGuid&, const TGuid&) = default;
};

// A new random (version 4) GUID.
TGuid NewGuid();
std::string GuidToString(const TGuid& guid);
// Reads the registry form, letters in either case; none for any other text.
std::optional<TGuid> GuidFromString(std::string_view text);

}  // namespace morvane
