// The JPEG reader: walks the segments of a JPEG (or of the JPEG inside a THM or RAF file) and
// hands on what they carry: the EXIF segment to the TIFF reader, Photoshop image resources, the
// comment, the first XMP packet and the first ICC profile chunk; the image size comes from the
// frame header and is turned with the EXIF orientation.
#include <algorithm>
#include <memory>
#include <string>

#include "metadata/jpeg_segments.h"
#include "metadata/tag_numbers.h"
#include "metadata/tif_reader.h"
#include "platform/errors.h"
#include "platform/text.h"

namespace morvane {

namespace {

constexpr std::string_view kExifHeader{"Exif\0\0", 6};
constexpr std::string_view kUserCommentAsciiPrefix{"ASCII\0\0\0", 8};
constexpr int64_t kPhotoshopIdentifierSize = 14;
constexpr int64_t kIccIdentifierSize = 12;
constexpr int64_t kIccChunkNumbersSize = 2;

bool TurnsImageSideways(const TTifTag& orientation) {
  int64_t value = 0;
  return TryStrToInt64(orientation.GetValue().AsText(), value) && value >= 5 && value <= 8;
}

std::string SwappedDimensions(const std::string& dimensions) {
  const size_t x = dimensions.find('x');
  return dimensions.substr(x + 1) + "x" + dimensions.substr(0, x);
}

}  // namespace

void TTif::ReadJpeg(TStream& stream, bool quick_scan) {
  uint8_t start[2] = {0, 0};
  if (stream.Read(start, 2) != 2 || start[0] != 0xFF || start[1] != 0xD8)
    throw EMorvaneError("Invalid JPG file.");

  TJpgMarkers markers;
  markers.ReadFromStream(stream);
  ImgDimensions = markers.GetDimensions();

  if (TJpgMarker* exif = markers.FindMarker(jmkExif)) {
    exif->DataStream.Seek(0);
    if (exif->DataStream.ReadString(kExifHeader.size()) == kExifHeader) {
      ReadTiff(exif->DataStream, static_cast<int64_t>(kExifHeader.size()), nullptr, true,
               quick_scan);
    }
    if (!IFDs.Empty()) {
      // The comment belongs to the EXIF directory; writers that put it into IFD0 are mended,
      // and a JPEG without one gets an empty comment.
      TTifIFD* ifd0 = IFDs[0];
      TTifTag* misplaced = ifd0->FindTag(kTagUserComment);
      if (ExifIFD.FindTag(kTagUserComment) == nullptr) {
        TTifTag* comment = ExifIFD.Tags.Add();
        comment->TagNumber = kTagUserComment;
        comment->DataFormat = tdfUndefined;
        comment->SetValue(misplaced != nullptr ? misplaced->GetValue()
                                               : TValue(std::string(kUserCommentAsciiPrefix)));
      }
      ifd0->Tags.Remove(misplaced);
    }
  }

  if (TJpgMarker* photoshop = markers.FindMarker(jmkPhotoshop)) {
    photoshop->DataStream.Seek(kPhotoshopIdentifierSize);
    IPTCResources.ReadFromStream(&photoshop->DataStream, tboMotorola);
    ProcessImageResources();
  }

  if (TJpgMarker* comment = markers.FindMarker(jmkComment)) {
    JpgCommentStream.Assign(comment->DataStream);
  }

  if (XMPData.empty()) {
    if (TJpgMarker* xmp = markers.FindMarker(jmkXmp)) {
      std::string_view packet = xmp->DataStream.View();
      packet.remove_prefix(std::min(packet.size(), kXmpIdentifier.size()));
      XMPData = SplitLines(packet);
    }
  }

  if (TJpgMarker* icc = markers.FindMarker(jmkIccProfile)) {
    icc->DataStream.Seek(kIccIdentifierSize + kIccChunkNumbersSize);
    TMemoryStream profile;
    profile.CopyFrom(icc->DataStream, icc->DataStream.Remaining());
    profile.Seek(0);
    SetIccProfile(&profile);
  }

  const TTifTag* orientation = IFDs.FindTag(kTagOrientation);
  if (orientation != nullptr && ImgDimensions.find('x') != std::string::npos &&
      TurnsImageSideways(*orientation)) {
    ImgDimensions = SwappedDimensions(ImgDimensions);
  }
}

}  // namespace morvane
