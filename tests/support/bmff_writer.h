// Builds ISO base media boxes for tests: plain, 64-bit-sized and "uuid" boxes, and whole CR3
// files with their metadata blocks, THMB and PRVW pictures and a first track whose tables point
// at a full-size JPEG in the media box.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace morvane::testing {

std::string BigEndian32(uint32_t value);
std::string BigEndian64(uint64_t value);

// A box with a 32-bit size; `size` other than -1 is written instead of the real one (damage).
std::string Box(std::string_view type, std::string_view body, int64_t size = -1);
// A box with size 1 and the real size in 64 bits.
std::string LargeBox(std::string_view type, std::string_view body);
// A "uuid" box with the 16 bytes of its extended type.
std::string UuidBox(std::string_view uuid, std::string_view body);

inline constexpr std::string_view kCanonMetadataUuid =
    std::string_view("\x85\xc0\xb6\x87\x82\x0f\x11\xe0\x81\x11\xf4\xce\x46\x2b\x6a\x48", 16);
inline constexpr std::string_view kCanonPreviewUuid =
    std::string_view("\xea\xf4\x2b\x5e\x1c\x98\x4b\x88\xb9\xfb\xb7\xdc\x40\x6e\x4d\x16", 16);

struct Cr3Parts {
  std::string Cmt1, Cmt2, Cmt3, Cmt4;  // TIFF blocks; an empty one is left out
  std::string Thumbnail;               // THMB's JPEG; empty: no THMB box
  std::string Preview;                 // PRVW's JPEG; empty: no preview box
  std::string FullSize;                // the first track's sample; empty: no track
  bool ShortOffsets = false;           // stco instead of co64
  bool LargeMedia = false;             // the media box with a 64-bit size
  int64_t TrackOffsetShift = 0;        // added to the chunk offset written (damage)
};

std::string BuildCr3(const Cr3Parts& parts);

}  // namespace morvane::testing
