// The tag numbers the code acts on, named once: TIFF and EXIF tags, the GPS, IPTC and DNG tags,
// and the maker-note tags of the makes that need them. The dictionaries in presentation/ list
// every tag they know as data; this header names only those that logic looks for.
#pragma once

namespace morvane {

// TIFF image structure.
inline constexpr int kTagImageWidth = 256;
inline constexpr int kTagImageLength = 257;
inline constexpr int kTagPhotometric = 262;
inline constexpr int kTagStripOffsets = 273;
inline constexpr int kTagOrientation = 274;
inline constexpr int kTagStripByteCounts = 279;
inline constexpr int kTagPlanarConfiguration = 284;
inline constexpr int kTagTileOffsets = 324;
inline constexpr int kTagTileByteCounts = 325;
inline constexpr int kTagSubIFDs = 330;
inline constexpr int kTagThumbnailOffset = 513;  // the JPEG thumbnail's offset and length
inline constexpr int kTagThumbnailLength = 514;

// TIFF description and blocks of other formats.
inline constexpr int kTagMake = 271;
inline constexpr int kTagModel = 272;
inline constexpr int kTagSoftware = 305;
inline constexpr int kTagDateTime = 306;
inline constexpr int kTagXmp = 700;
inline constexpr int kTagIptc = 33723;
inline constexpr int kTagIccProfile = 34675;
inline constexpr int kTagImageSourceData = 37724;

// Directory pointers.
inline constexpr int kTagExifPointer = 34665;
inline constexpr int kTagGpsPointer = 34853;
inline constexpr int kTagInteropPointer = 40965;

// EXIF.
inline constexpr int kTagExposureTime = 33434;
inline constexpr int kTagFNumber = 33437;
inline constexpr int kTagISOSpeedRatings = 34855;
inline constexpr int kTagExifVersion = 36864;
inline constexpr int kTagDateTimeOriginal = 36867;
inline constexpr int kTagDateTimeDigitized = 36868;
inline constexpr int kTagShutterSpeedValue = 37377;
inline constexpr int kTagApertureValue = 37378;
inline constexpr int kTagExposureBiasValue = 37380;
inline constexpr int kTagMeteringMode = 37383;
inline constexpr int kTagFlash = 37385;
inline constexpr int kTagFocalLength = 37386;
inline constexpr int kTagMakerNote = 37500;
inline constexpr int kTagUserComment = 37510;
inline constexpr int kTagPixelXDimension = 40962;
inline constexpr int kTagPixelYDimension = 40963;
inline constexpr int kTagFocalLengthIn35mmFilm = 41989;

// IPTC datasets of the application record, kept as tags of the IPTC directory.
inline constexpr int kTagIptcSubjectReference = 12;
inline constexpr int kTagIptcSupplementalCategory = 20;
inline constexpr int kTagIptcKeywords = 25;
inline constexpr int kTagIptcByLine = 80;
inline constexpr int kTagIptcContacts = 118;
inline constexpr int kTagIptcCaption = 120;

// DNG.
inline constexpr int kTagDngLensInfo = 50736;
inline constexpr int kTagDngPrivateData = 50740;
inline constexpr int kTagOriginalRawFileData = 50828;

// Panasonic RW2.
inline constexpr int kTagJpgFromRaw = 0x002E;  // IFD0: the camera's JPEG, with its own EXIF

// Maker notes.
inline constexpr int kTagNikonISO = 0x0002;
inline constexpr int kTagOlympusThumbnail = 0x0100;
inline constexpr int kTagOlympusEquipment = 0x2010;  // sections of the newer notes
inline constexpr int kTagOlympusCameraSettings = 0x2020;
inline constexpr int kTagMinoltaThumbnail = 0x0081;
inline constexpr int kTagMinoltaPreviewStart = 0x0088;  // offset from the TIFF header
inline constexpr int kTagMinoltaPreviewLength = 0x0089;

}  // namespace morvane
