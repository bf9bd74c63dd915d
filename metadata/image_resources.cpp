// What the reader takes from image resources and from TIFF IPTC tags: the EXIF block of
// Photoshop-style files, the IPTC records, the XMP packet and the ICC profile.
#include <algorithm>

#include "metadata/iptc.h"
#include "metadata/tag_numbers.h"
#include "metadata/tif_reader.h"
#include "platform/text.h"

namespace morvane {

namespace {


// Photoshop and Paint Shop Pro documents repeat their EXIF block in an image resource.
bool TakesExifFromResources(const std::string& file_name) {
  const std::string extension = ExtractFileExt(file_name);
  return SameText(extension, ".psd") || SameText(extension, ".pspimage");
}

}  // namespace

void TTif::ProcessImageResources() {
  if (TakesExifFromResources(FileName)) {
    if (TIPTCResource* exif = IPTCResources.FindResource(kResourceExif)) {
      exif->DataStream.Seek(0);
      ReadTiff(exif->DataStream, 0, nullptr, true, false);
      // No thumbnail survives from this block: each empty stream drops out of the search, so
      // the loop ends after at most one pass over the directories.
      for (int guard = 0; guard <= IFDs.Count() + 1; ++guard) {
        TMemoryStream* thumbnail = GetThumbnailStream();
        if (thumbnail == nullptr) break;
        thumbnail->Clear();
      }
    }
  }

  if (TIPTCResource* iptc = IPTCResources.FindResource(kResourceIptc)) {
    IPTCIFD.Clear();
    iptc->ReadIPTC(&IPTCIFD, tboMotorola);
  }

  if (TIPTCResource* xmp = IPTCResources.FindResource(kResourceXmp)) {
    try {
      XMPData = SplitLines(xmp->DataStream.View());
    } catch (const std::exception&) {
      XMPData.clear();
    }
  }

  if (TIPTCResource* icc = IPTCResources.FindResource(kResourceIccProfile)) {
    try {
      TTifTag* profile = FindTag(kTagIccProfile, ikBase | ikExif);
      if (profile == nullptr) {
        if (IFDs.Empty()) IFDs.Add();
        profile = IFDs[0]->Tags.Add();
        profile->TagNumber = kTagIccProfile;
        profile->DataFormat = tdfUnknown;
      }
      profile->DataStream.Assign(icc->DataStream);
      profile->Components = static_cast<int32_t>(icc->DataStream.Size());
    } catch (const std::exception&) {
    }
  }
}

void TTif::ReadIptcFromTag(const TTifTag& tag) {
  if (tag.DataStream.Empty()) return;
  TIPTCResource records;
  records.DataStream.Assign(tag.DataStream);
  records.ReadIPTC(&IPTCIFD, tboMotorola);
  if (!IPTCIFD.Tags.Empty() || ByteOrder != tboMotorola || BytesPerComponent(tag.DataFormat) < 2) return;
  // Records declared as numbers had their bytes turned little-endian; they read in file order.
  records.DataStream.MutableBytes() = tag.FileBytes(ByteOrder);
  records.DataStream.Seek(0);
  records.ReadIPTC(&IPTCIFD, tboMotorola);
}

}  // namespace morvane
