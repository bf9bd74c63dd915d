// The platform's zero-terminated wide strings (UTF-16 units) to and from this system's UTF-16
// texts. Paths and texts cross the COM boundary in this form.
#pragma once

#include <string>
#include <string_view>

#include "platform/windows_api.h"

namespace morvane {

// The units of a zero-terminated wide string; empty for null.
std::u16string WideToUtf16(const WCHAR* text);
// Writes the text and a terminating zero; the buffer holds at least text.size() + 1 units.
void CopyToWide(std::u16string_view text, WCHAR* buffer);

}  // namespace morvane
