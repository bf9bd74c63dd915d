// Seiko maker notes: names only, no value rules.
#include "presentation/tag_tables.h"

#include "presentation/tag_rows.h"

namespace morvane {

namespace {

constexpr TTagEntry kSeikoTags[] = {
    Row(512, "Special Mode"),
    Row(513, "JpegQuality"),
    Row(514, "Macro"),
    Row(515, "Skip"),
    Row(516, "DigiZoom"),
    Row(521, "CameraID"),
    Row(522, "Comments"),
    Row(523, "Width"),
    Row(524, "Height"),
    Row(525, "SoftRelease"),
    Row(768, "??"),
    Row(3840, "skip"),
};

}  // namespace

constinit const TTagDictionary SeikoTags = kSeikoTags;

}  // namespace morvane
