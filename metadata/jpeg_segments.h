// The segments of a JPEG file between its start-of-image marker and its image data, each kept
// with its bytes, and the lookups the JPEG reader makes in them: a segment by kind (code and
// identifier) and the image size of the baseline frame header.
#pragma once

#include <string>
#include <string_view>

#include "metadata/xom.h"
#include "platform/stream.h"

namespace morvane {

// The kinds of segment the reader looks for: a marker code and the identifier its data starts
// with (the identifiers include their terminating zero bytes).
enum TJpgMarkerKind : int {
  jmkJfif = 0,
  jmkJfxx = 1,
  jmkExif = 2,
  jmkXmp = 3,
  jmkIccProfile = 4,
  jmkMeta = 5,
  jmkDucky = 7,
  jmkPhotoshop = 8,
  jmkComment = 10,
};

inline constexpr int kJpgCodeApp0 = 0xFFE0;
inline constexpr int kJpgCodeApp1 = 0xFFE1;
inline constexpr int kJpgCodeApp2 = 0xFFE2;
inline constexpr int kJpgCodeApp3 = 0xFFE3;
inline constexpr int kJpgCodeApp12 = 0xFFEC;
inline constexpr int kJpgCodeApp13 = 0xFFED;
inline constexpr int kJpgCodeApp14 = 0xFFEE;
inline constexpr int kJpgCodeComment = 0xFFFE;
inline constexpr int kJpgCodeBaselineFrame = 0xFFC0;

// The identifier of the XMP packet in an APP1 segment, with its zero byte.
inline constexpr std::string_view kXmpIdentifier{"http://ns.adobe.com/xap/1.0/\0", 29};

class TJpgMarker : public TXOMObject {
 public:
  int AppCode = 0;           // the 16-bit marker code, FFE1 for APP1
  TMemoryStream DataStream;  // the bytes after the length field

  // A canonical ordering key of the segment: JFIF 0, other APP0 1, the Exif APP1 10, other
  // APP1 15, APP2 20, APP3 30, APP12 121, APP13 12, APP14 140, COM -1, else 10000 + index.
  int MarkerAppOrder() const;
};

// Real files carry at most a few hundred segments before their image data; a walk that meets
// more stops there, so that empty segments cannot multiply the memory a file takes.
inline constexpr int kMaxJpgMarkers = 65536;

class TJpgMarkers : public TXOMClass<TJpgMarker> {
 public:
  // Appends one segment per marker from the stream's position on, up to the end-of-image marker
  // or the first byte that is not FF (the entropy-coded data after the scan header), or up to
  // kMaxJpgMarkers segments. Returns the number of segments read. A length field below 2 or a
  // segment that runs past the end of the stream throws EReadError; nothing outside the stream
  // is read.
  int ReadFromStream(TStream& stream);

  // The first segment of the kind, or none.
  TJpgMarker* FindMarker(int kind) const;

  // "width x height" ("%dx%d") from the first baseline frame header; empty when there is none,
  // when it is too short, or when width + height < 1.
  std::string GetDimensions() const;
};

}  // namespace morvane
