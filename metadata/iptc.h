// Image-resource blocks ("8BIM") as Photoshop files and JPEG APP13 segments carry them, and the
// IPTC application records that one of them holds. The records become pseudo-tags of a
// directory, so that IPTC datasets can be treated like tags; the repeatable datasets are
// gathered into one tag each whose value is a comma text of all occurrences.
#pragma once

#include <string>

#include "metadata/xom.h"
#include "platform/byte_order.h"
#include "platform/stream.h"

namespace morvane {

class TTifIFD;

// Image-resource ids the reader acts on.
inline constexpr int kResourceIptc = 1028;
inline constexpr int kResourceIccProfile = 1039;
inline constexpr int kResourceExif = 1058;
inline constexpr int kResourceXmp = 1060;

// True for the datasets of the application record that may occur more than once and are
// gathered into one comma-text tag: 12, 20 (Supplemental Category), 25 (Keywords),
// 80 (By-line) and 118 (Contact).
bool IsRepeatableIptcDataset(int dataset);

class TIPTCResource : public TXOMObject {
 public:
  int Code = 0;
  std::string ResourceName;
  TMemoryStream DataStream;

  // Turns the IPTC application records (1C 02) in DataStream into pseudo-tags of `directory`;
  // nothing when `directory` is none. Lengths are read in `byte_order` and cut to the bytes
  // that remain.
  void ReadIPTC(TTifIFD* directory, TTifByteOrder byte_order);
};

// Real files carry a few dozen resources; a list that reaches this many ends there, so that tiny
// blocks cannot multiply the memory a file takes.
inline constexpr int kMaxImageResources = 65536;

class TIPTCResources : public TXOMClass<TIPTCResource> {
 public:
  // Appends the "8BIM" blocks that follow in the stream, and leaves the stream at the first
  // byte that is not a block. A block whose size runs past the end of the stream keeps the
  // bytes that exist and ends the list; so does the kMaxImageResources-th block.
  void ReadFromStream(TStream* stream, TTifByteOrder byte_order);
  TIPTCResource* FindResource(int code) const;
};

}  // namespace morvane
