// Sanyo maker notes: names only, no value rules.
#include "presentation/tag_tables.h"

#include "presentation/tag_rows.h"

namespace morvane {

namespace {

constexpr TTagEntry kSanyoTags[] = {
    Row(512, "Special Mode"),
    Row(513, "JpegQuality"),
    Row(514, "Macro"),
    Row(515, "Skip"),
    Row(516, "DigiZoom"),
    Row(3840, "DataDump"),
};

}  // namespace

constinit const TTagDictionary SanyoTags = kSanyoTags;

}  // namespace morvane
