#include "platform/com_guid.h"

#include <cstring>

#include "platform/guid.h"

namespace morvane {

std::string GUIDToString(REFGUID guid) {
  TGuid g;
  g.Data1 = guid.Data1;
  g.Data2 = guid.Data2;
  g.Data3 = guid.Data3;
  std::memcpy(g.Data4, guid.Data4, sizeof(g.Data4));
  return GuidToString(g);
}

std::optional<GUID> TryStringToGUID(std::string_view text) {
  const std::optional<TGuid> g = GuidFromString(text);
  if (!g) return std::nullopt;
  GUID guid{};
  guid.Data1 = g->Data1;
  guid.Data2 = g->Data2;
  guid.Data3 = g->Data3;
  std::memcpy(guid.Data4, g->Data4, sizeof(guid.Data4));
  return guid;
}

}  // namespace morvane
