#include "platform/guid.h"

#include <random>

#include "platform/byte_view.h"
#include "platform/text.h"

namespace morvane {

TGuid NewGuid() {
  static thread_local std::random_device source;
  auto word = [&] { return static_cast<uint32_t>(source()); };
  TGuid g;
  g.Data1 = word();
  const uint32_t a = word();
  g.Data2 = static_cast<uint16_t>(a);
  g.Data3 = static_cast<uint16_t>(((a >> 16) & 0x0FFF) | 0x4000);
  const uint32_t b = word();
  const uint32_t c = word();
  for (int i = 0; i < 4; ++i) {
    g.Data4[i] = static_cast<uint8_t>(b >> (8 * i));
    g.Data4[4 + i] = static_cast<uint8_t>(c >> (8 * i));
  }
  g.Data4[0] = static_cast<uint8_t>((g.Data4[0] & 0x3F) | 0x80);
  return g;
}

std::string GuidToString(const TGuid& g) {
  return Format("{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2, g.Data3, g.Data4[0],
                g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
}

std::optional<TGuid> GuidFromString(std::string_view text) {
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return std::nullopt;
  uint8_t bytes[16];
  size_t k = 0;
  for (size_t i = 1; i < 37;) {
    if (i == 9 || i == 14 || i == 19 || i == 24) {
      if (text[i] != '-') return std::nullopt;
      ++i;
      continue;
    }
    auto nibble = [](char c) -> int {
      if (c >= '0' && c <= '9') return c - '0';
      if (c >= 'a' && c <= 'f') return c - 'a' + 10;
      if (c >= 'A' && c <= 'F') return c - 'A' + 10;
      return -1;
    };
    const int hi = nibble(text[i]);
    const int lo = nibble(text[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    bytes[k++] = static_cast<uint8_t>(hi << 4 | lo);
    i += 2;
  }
  // The text spells the first three fields most significant byte first.
  const TByteView spelled(bytes, sizeof bytes);
  TGuid g;
  g.Data1 = spelled.BE32(0).value_or(0);
  g.Data2 = spelled.BE16(4).value_or(0);
  g.Data3 = spelled.BE16(6).value_or(0);
  for (size_t i = 0; i < 8; ++i) g.Data4[i] = spelled.U8(8 + i).value_or(0);
  return g;
}

}  // namespace morvane
