// Image-resource blocks ("8BIM") and the IPTC records they carry.
#pragma once

#include <string>

#include "metadata/xom.h"
#include "platform/byte_order.h"
#include "platform/stream.h"

namespace morvane {

class TTifIFD;

class TIPTCResource : public TXOMObject {
 public:
  int Code = 0;
  std::string ResourceName;
  TMemoryStream DataStream;

  // Turns the IPTC application records in DataStream into pseudo-tags of `directory`.
  void ReadIPTC(TTifIFD* directory, TTifByteOrder byte_order);
};

class TIPTCResources : public TXOMClass<TIPTCResource> {
 public:
  // Appends the "8BIM" blocks that follow in the stream.
  void ReadFromStream(TStream* stream, TTifByteOrder byte_order);
  TIPTCResource* FindResource(int code) const;
};

}  // namespace morvane
