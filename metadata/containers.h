// Which reader reads a file: one row per container, tried in order, each recognised by its
// name's extension, its first bytes, or both. The first row that matches reads the stream; the
// last row, the TIFF reader, takes whatever no other row claims.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/stream.h"

namespace morvane {

class TTif;

struct TContainer {
  std::string_view Name;
  std::string_view Extension;  // matched whatever its letter case; empty: any name
  std::string_view Signature;  // bytes the stream holds at SignatureAt; empty: any bytes
  int64_t SignatureAt;
  int64_t MinSize;             // a shorter stream is not a file of this kind: "Invalid TIF file."
  // Reads the stream into `tif`; false when it holds no readable part.
  bool (*Read)(TTif& tif, TStream& stream, bool quick_scan);
};

inline constexpr int64_t kContainerHeaderSize = 8;
// How many first bytes of a stream the signatures are matched against.
inline constexpr int64_t kContainerHeadLength = 16;

// The row that reads a stream whose file is named `file_name` and which starts with `head`
// (its first bytes, as many as it has up to kContainerHeadLength).
const TContainer& ContainerFor(std::string_view file_name, std::string_view head);

// Reads `stream` from its start by the container its name and first bytes choose.
bool ReadContainer(TTif& tif, TStream& stream, bool quick_scan);

}  // namespace morvane
