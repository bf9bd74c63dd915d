// The tag listing of a file: "label=value" lines group by group (main chain, EXIF, GPS, maker
// notes, IPTC), each group closed by a line "=", the settings of an expanded value as lines of
// their own. Values longer than 3072 bytes are left out.
#include "presentation/tag_list.h"

#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "metadata/tag_numbers.h"
#include "metadata/tif_ifd.h"
#include "metadata/tif_reader.h"
#include "metadata/tif_tag.h"
#include "platform/text.h"
#include "metadata/comma_text.h"
#include "presentation/tag_tables.h"
#include "presentation/value_formatters.h"

namespace morvane {

namespace {

constexpr int64_t kMaxListedValueSize = 3072;
const std::string kGroupEnd = "=";

// Sets the line "name=value": replaces the first line of that name, else appends one.
void SetNamedLine(std::vector<std::string>& list, const std::string& name,
                  const std::string& value) {
  for (std::string& line : list) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos && SameText(std::string_view(line).substr(0, equals), name)) {
      line = name + "=" + value;
      return;
    }
  }
  list.push_back(name + "=" + value);
}

std::string ByteOrderName(TTifByteOrder order) {
  switch (order) {
    case tboIntel: return "Intel";
    case tboMotorola: return "Motorola";
    case tboDerived: return "THIS EXIF IS DERIVED FROM XMP";
    default: return "Unknown";
  }
}

void ListDirectory(const TTifIFD& directory, TTagDictionary dictionary,
                   std::vector<std::string>& list) {
  bool listed = false;
  try {
    for (const auto& tag : directory.Tags) {
      if (tag->DataStream.Size() > kMaxListedValueSize || tag->TagNumber == 0) continue;
      const auto entry = FindTagEntry(dictionary, tag->TagNumber);
      if (!entry || SameText(entry->Name, "Skip")) continue;
      const std::string value = FormatTagValue(*tag, *entry);
      const size_t marker = value.find(kInlineMarker);
      if (marker != std::string::npos) {
        for (std::string& item :
             ReadCommaText(std::string_view(value).substr(marker + kInlineMarker.size())))
          list.push_back(std::move(item));
        list.push_back(kGroupEnd);
      } else {
        list.push_back(std::string(entry->Label()) + "=" + value);
      }
      listed = true;
    }
  } catch (const std::exception&) {
    // A directory that cannot be listed to its end keeps the lines it gave.
  }
  if (listed) list.push_back(kGroupEnd);
}

}  // namespace

void GetTagList(TTif& tif, std::vector<std::string>& list, int kinds) {
  if (!tif.HasMetadata()) return;
  SetNamedLine(list, "Byte Order", ByteOrderName(tif.ByteOrder));
  if ((kinds & ikBase) != 0) {
    SetNamedLine(list, "Extensible Metadata (XMP) Exists?", tif.HasXMP() ? "Yes" : "No");
    for (const auto& directory : tif.IFDs) ListDirectory(*directory, MainTags, list);
  }
  if ((kinds & ikExif) != 0) {
    ListDirectory(tif.ExifIFD, MainTags, list);
    if (tif.IsJpeg() && tif.HasJpgComment()) {
      SetNamedLine(list, "JPG Comment", tif.GetJpgComment());
      list.push_back(kGroupEnd);
    }
  }
  if ((kinds & ikGps) != 0) ListDirectory(tif.GPSIFD, GpsTags, list);
  if ((kinds & ikMakerNotes) != 0 && tif.FindTag(kTagMake, ikAll) != nullptr) {
    const TTagDictionary dictionary =
        MakerNotesTagListDictionary(tif, tif.GetMake(), tif.ExifMarkerNotesIFD);
    ListDirectory(tif.ExifMarkerNotesIFD, dictionary, list);
    for (const auto& section : tif.ExifMarkerNotesIFD.SubIFDs)
      ListDirectory(*section, MakerNotesSectionDictionary(tif.GetMake(), *section), list);
  }
  if ((kinds & ikIPTC) != 0) {
    list.push_back(kGroupEnd);
    if (tif.HasIPTC()) {
      SetNamedLine(list, "IPTC Segment Available?", "Yes");
      ListDirectory(tif.IPTCIFD, IptcTags, list);
    }
  }
}

}  // namespace morvane
