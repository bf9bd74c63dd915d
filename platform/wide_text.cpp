#include "platform/wide_text.h"

namespace morvane {

std::u16string WideToUtf16(const WCHAR* text) {
  std::u16string result;
  if (text == nullptr) return result;
  for (const WCHAR* p = text; *p != 0; ++p) result.push_back(static_cast<char16_t>(*p));
  return result;
}

void CopyToWide(std::u16string_view text, WCHAR* buffer) {
  for (char16_t unit : text) *buffer++ = static_cast<WCHAR>(unit);
  *buffer = 0;
}

}  // namespace morvane
