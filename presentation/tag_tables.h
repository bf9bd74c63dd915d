// The constant dictionaries: the standard TIFF/EXIF/DNG, GPS and IPTC tables, one or two per
// camera maker, and the sub-tables that name the settings packed into one maker-note tag.
#pragma once

#include <cstdint>
#include <span>

#include "presentation/tag_dictionary.h"

namespace morvane {

extern const TTagDictionary MainTags;
extern const TTagDictionary GpsTags;
extern const TTagDictionary IptcTags;

extern const TTagDictionary NikonType1Tags;
extern const TTagDictionary NikonTags;
extern const TTagDictionary CanonTags;
extern const TTagDictionary OlympusTags;
extern const TTagDictionary OlympusEquipmentTags;       // section 0x2010 of today's notes
extern const TTagDictionary OlympusCameraSettingsTags;  // section 0x2020
extern const TTagDictionary MinoltaTags;
extern const TTagDictionary CasioTags;
extern const TTagDictionary FujifilmTags;
extern const TTagDictionary SeikoTags;
extern const TTagDictionary SanyoTags;

// Sub-tables: each row's Tag is the position of a setting in its parent tag's value list.
extern const TTagDictionary CanonCameraSettings;
extern const TTagDictionary CanonFocalLength;
extern const TTagDictionary CanonShotInfo;
extern const TTagDictionary CanonPanorama;
extern const TTagDictionary CanonCameraInfo;
extern const TTagDictionary CanonFileInfo;
extern const TTagDictionary CanonColorInfo;
extern const TTagDictionary MinoltaCameraSettings;

// A sub-table and the maker-note tag whose value it names.
struct TSubTable {
  TTagDictionary Rows;
  uint16_t ParentTag;
};

// The Canon sub-tables with their CanonTags parents, in the order a setting is looked up by name.
extern const std::span<const TSubTable> CanonSubTables;
// The MinoltaTags parents of MinoltaCameraSettings, in the order a setting is looked up by name.
extern const std::span<const uint16_t> MinoltaSettingsParents;

}  // namespace morvane
