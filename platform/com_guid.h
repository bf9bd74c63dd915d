// Class and interface identifiers in their registry text form, for the platform's GUID type.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/windows_api.h"

namespace morvane {

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper-case hexadecimal.
std::string GUIDToString(REFGUID guid);
// The registry form with letters in either case; none for any other text.
std::optional<GUID> TryStringToGUID(std::string_view text);

}  // namespace morvane
