// Canon's CR3 raw files: ISO base media boxes whose metadata are four little TIFF blocks in a
// "uuid" box of the movie box (CMT1 the main directory, CMT2 EXIF, CMT3 the maker notes, CMT4
// GPS) and whose pictures are a 160x120 JPEG (THMB), a screen-sized JPEG (PRVW, in a top-level
// "uuid" box of its own) and the full-size JPEG that the first track's tables point at.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/stream.h"

namespace morvane {

// The first bytes of a CR3 file: the file-type box's type and its major brand, at offset 4.
inline constexpr std::string_view kCr3Signature = "ftypcrx ";
inline constexpr int64_t kCr3SignatureAt = 4;

struct TByteRange {
  int64_t Offset = 0;
  int64_t Size = 0;
};

// Where the JPEGs of a CR3 file lie; each lies wholly inside the file.
struct TCr3Pictures {
  std::optional<TByteRange> Thumbnail;  // THMB
  std::optional<TByteRange> Preview;    // PRVW
  std::optional<TByteRange> FullSize;   // the first track's first sample
};

TCr3Pictures FindCr3Pictures(TStream& stream);

}  // namespace morvane
