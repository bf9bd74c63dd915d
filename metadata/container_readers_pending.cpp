// Container readers not yet wired in: until they are, such files yield an empty result.
#include "metadata/iptc.h"
#include "metadata/tif_reader.h"

namespace morvane {

void TTif::ReadJpeg(TStream& /*stream*/, bool /*quick_scan*/) {}
void TTif::ReadX3F(TStream& /*stream*/) {}
void TTif::ReadPsd(TStream& /*stream*/) {}
void TTif::ReadPsp(TStream& /*stream*/, bool /*quick_scan*/) {}
void TTif::ProcessImageResources() {}
void TTif::ReadIptcFromTag(const TTifTag& /*tag*/) {}
void TIPTCResource::ReadIPTC(TTifIFD* /*directory*/, TTifByteOrder /*byte_order*/) {}
void TIPTCResources::ReadFromStream(TStream* /*stream*/, TTifByteOrder /*byte_order*/) {}
TIPTCResource* TIPTCResources::FindResource(int code) const {
  for (const auto& r : *this)
    if (r->Code == code) return r.get();
  return nullptr;
}

}  // namespace morvane

#include "metadata/crw_reader.h"

namespace morvane {
void ReadCrw(TTif& /*tif*/, const std::string& /*file_name*/) {}
}  // namespace morvane
