// `morvane dump FILE`: every directory the reader finds, with every tag's raw value, one
// tab-separated line per tag, so that the reading can be compared with other tools.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/file_access.h"
#include "metadata/tif_reader.h"
#include "platform/text.h"

namespace morvane::cli {

namespace {

constexpr size_t kMaxValueCharacters = 200;

void DumpDirectory(const std::string& name, const TTifIFD& directory) {
  for (const auto& tag : directory.Tags) {
    std::printf("%s\t%d\t%d\t%d\t%s\n", name.c_str(), tag->TagNumber, static_cast<int>(tag->DataFormat),
                tag->Components, OutputText(tag->RawTagValue(), kMaxValueCharacters).c_str());
  }
  if (!directory.ThumbDataStream.Empty())
    std::printf("%s\tthumbnail\t%lld\n", name.c_str(), static_cast<long long>(directory.ThumbDataStream.Size()));
  for (int i = 0; i < directory.SubIFDs.Count(); ++i)
    DumpDirectory(name + ".Sub" + std::to_string(i), *directory.SubIFDs[i]);
}

const char* ByteOrderName(TTifByteOrder order) {
  switch (order) {
    case tboIntel: return "II";
    case tboMotorola: return "MM";
    default: return "unknown";
  }
}

}  // namespace

int RunDump(const Arguments& arguments) {
  if (arguments.size() != 1) return UsageError("dump takes one FILE");
  const std::string& path = arguments[0];
  if (!CheckReadableFile(path)) return 1;

  TTif tif;
  const std::string failure = OpenMetadata(tif, path);  // what was read before it is still shown

  std::printf("byte order\t%s\n", ByteOrderName(tif.ByteOrder));
  for (int i = 0; i < tif.IFDs.Count(); ++i) DumpDirectory("IFD" + std::to_string(i), *tif.IFDs[i]);
  DumpDirectory("Exif", tif.ExifIFD);
  DumpDirectory("InterExif", tif.ExifInterIFD);
  DumpDirectory("MakerNotes", tif.ExifMarkerNotesIFD);
  DumpDirectory("Gps", tif.GPSIFD);
  DumpDirectory("IPTC", tif.IPTCIFD);
  if (!tif.ImgDimensions.empty()) std::printf("dimensions\t%s\n", OutputText(tif.ImgDimensions).c_str());
  if (tif.HasJpgComment()) std::printf("comment\t%s\n", OutputText(tif.GetJpgComment(), kMaxValueCharacters).c_str());
  if (tif.HasXMP()) std::printf("xmp\t%zu lines\n", tif.XMPData.size());
  for (const auto& resource : tif.IPTCResources)
    std::printf("resource\t%d\t%s\t%lld\n", resource->Code, OutputText(resource->ResourceName, kMaxValueCharacters).c_str(),
                static_cast<long long>(resource->DataStream.Size()));
  if (!failure.empty()) std::fprintf(stderr, "morvane: %s: %s\n", path.c_str(), OutputText(failure).c_str());
  return 0;
}

}  // namespace morvane::cli
