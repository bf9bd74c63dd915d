// `morvane dump FILE...`: every directory the reader finds, with every tag's raw value, one
// tab-separated line per tag, so that the reading can be compared with other tools.
#include <string>

#include "cli/batch_runner.h"
#include "cli/commands.h"
#include "cli/file_access.h"
#include "metadata/tif_reader.h"
#include "platform/text.h"

namespace morvane::cli {

namespace {

constexpr size_t kMaxValueCharacters = 200;
constexpr const char* kNothingFound = "byte order\tunknown\n";

void DumpDirectory(std::string& out, const std::string& name, const TTifIFD& directory) {
  for (const auto& tag : directory.Tags) {
    out += Format("%s\t%d\t%d\t%d\t", name.c_str(), tag->TagNumber, static_cast<int>(tag->DataFormat), tag->Components);
    out += OutputText(tag->RawTagValue(), kMaxValueCharacters) + "\n";
  }
  if (!directory.ThumbDataStream.Empty())
    out += Format("%s\tthumbnail\t%lld\n", name.c_str(), static_cast<long long>(directory.ThumbDataStream.Size()));
  for (int i = 0; i < directory.SubIFDs.Count(); ++i)
    DumpDirectory(out, name + ".Sub" + std::to_string(i), *directory.SubIFDs[i]);
}

const char* ByteOrderName(TTifByteOrder order) {
  switch (order) {
    case tboIntel: return "II";
    case tboMotorola: return "MM";
    default: return "unknown";
  }
}

}  // namespace

TFileResult DumpOfFile(const TInput& input) {
  const std::string& path = input.Path;
  if (const std::string reason = UnreadableReason(path); !reason.empty()) return FailedFile(path, reason);

  TTif tif;
  const std::string failure = OpenMetadata(tif, path);  // what was read before it is still shown

  TFileResult result;
  std::string& out = result.Out;
  out = std::string("byte order\t") + ByteOrderName(tif.ByteOrder) + "\n";
  for (int i = 0; i < tif.IFDs.Count(); ++i) DumpDirectory(out, "IFD" + std::to_string(i), *tif.IFDs[i]);
  DumpDirectory(out, "Exif", tif.ExifIFD);
  DumpDirectory(out, "InterExif", tif.ExifInterIFD);
  DumpDirectory(out, "MakerNotes", tif.ExifMarkerNotesIFD);
  DumpDirectory(out, "Gps", tif.GPSIFD);
  DumpDirectory(out, "IPTC", tif.IPTCIFD);
  if (!tif.ImgDimensions.empty()) out += "dimensions\t" + OutputText(tif.ImgDimensions) + "\n";
  if (tif.HasJpgComment()) out += "comment\t" + OutputText(tif.GetJpgComment(), kMaxValueCharacters) + "\n";
  if (tif.HasXMP()) out += Format("xmp\t%zu lines\n", tif.XMPData.size());
  for (const auto& resource : tif.IPTCResources)
    out += Format("resource\t%d\t", resource->Code) + OutputText(resource->ResourceName, kMaxValueCharacters) +
           Format("\t%lld\n", static_cast<long long>(resource->DataStream.Size()));
  if (out == kNothingFound && !IsSupportedType(path, TTypeUse::Metadata)) return UnsupportedType(path);
  if (!failure.empty()) result.Err = "morvane: " + path + ": " + OutputText(failure) + "\n";
  return result;
}

int RunDump(const TBatchArguments& arguments) {
  return RunBatch(ExpandInputs(arguments.Inputs, arguments.Recursive, TTypeUse::Metadata), {arguments.Workers, false},
                  DumpOfFile);
}

}  // namespace morvane::cli
