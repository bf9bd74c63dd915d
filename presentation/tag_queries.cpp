// The display text of tags chosen by number or by name, the settings inside expanded maker-note
// values, the lens and the ISO speed of a shot, and the dictionary properties of a tag.
#include "presentation/tag_queries.h"

#include <optional>
#include <string_view>
#include <vector>

#include "metadata/tag_numbers.h"
#include "metadata/tif_ifd.h"
#include "metadata/tif_reader.h"
#include "metadata/tif_tag.h"
#include "platform/text.h"
#include "metadata/comma_text.h"
#include "presentation/image_dimensions.h"
#include "presentation/tag_list.h"
#include "presentation/tag_tables.h"
#include "presentation/value_formatters.h"

namespace morvane {

namespace {

std::string MakePrefix(const TTif& tif) { return UpperCase(tif.GetMake().substr(0, 5)); }

// The text after the expansion marker, or the whole text when it has none.
std::string_view AfterInlineMarker(std::string_view text) {
  const size_t marker = text.find(kInlineMarker);
  return marker == std::string_view::npos ? text : text.substr(marker + kInlineMarker.size());
}

// The value of a dictionary row chosen by name: the lookup of GetValueByName without its
// computed values. The lens queries use it directly, so that a lens row never leads back to
// the lens query.
std::string NamedRowValue(TTif& tif, const std::string& name, int kinds) {
  std::optional<TTagEntry> entry;
  if ((kinds & ikBase) != 0) entry = FindTagEntryByName(MainTags, name);
  if (!entry && (kinds & ikExif) != 0) entry = FindTagEntryByName(MainTags, name);
  if (!entry && (kinds & ikGps) != 0) entry = FindTagEntryByName(GpsTags, name);
  if (!entry && (kinds & ikIPTC) != 0) entry = FindTagEntryByName(IptcTags, name);
  if (!entry && (kinds & ikMakerNotes) != 0) {
    const std::string prefix = MakePrefix(tif);
    if (prefix == "CANON") {
      entry = FindTagEntryByName(CanonTags, name);
      if (!entry) {
        for (const TSubTable& sub_table : CanonSubTables) {
          if (const auto row = FindTagEntryByName(sub_table.Rows, name)) {
            return GetSubValue(CanonTags, tif.ExifMarkerNotesIFD.FindTag(sub_table.ParentTag),
                               *row);
          }
        }
      }
    } else if (prefix == "MINOL" || prefix == "KONIC") {
      entry = FindTagEntryByName(MinoltaTags, name);
      if (!entry) {
        // A camera setting: read from the first of its parent tags that the note holds.
        if (const auto row = FindTagEntryByName(MinoltaCameraSettings, name)) {
          for (const uint16_t parent : MinoltaSettingsParents) {
            if (const TTifTag* tag = tif.ExifMarkerNotesIFD.FindTag(parent))
              return GetSubValue(MinoltaTags, tag, *row);
          }
          return {};
        }
      }
    } else {
      entry = FindTagEntryByName(MakerTagDictionary(tif.GetMake()), name);
    }
  }
  if (!entry) return {};
  const TTifTag* tag = tif.FindTag(entry->Tag, kinds);
  if (tag == nullptr) return {};
  std::string result = FormatTagValue(*tag, *entry);
  if (result.empty() && entry->Tag == kTagISOSpeedRatings) result = GetISO(tif);
  return result;
}

// The larger of the two whole numbers around the first comma of "0,200"; the text itself when
// either part is not a whole number.
std::string LargerOfPair(const std::string& text) {
  const size_t comma = text.find(',');
  if (comma == std::string::npos) return text;
  int64_t first = 0;
  int64_t second = 0;
  if (!TryStrToInt64(std::string_view(text).substr(0, comma), first) ||
      !TryStrToInt64(std::string_view(text).substr(comma + 1), second))
    return text;
  return std::to_string(first > second ? first : second);
}

}  // namespace

std::string GetSubValue(TTagDictionary dictionary, const TTifTag* parent, const TTagEntry& row) {
  if (parent == nullptr) return {};
  const std::string_view label = row.Label();
  const auto parent_row = FindTagEntry(dictionary, parent->TagNumber);
  if (!parent_row) return {};
  const std::string text = FormatTagValue(*parent, *parent_row);
  for (const std::string& item : ReadCommaText(AfterInlineMarker(text))) {
    if (!StartsText(label, item)) continue;
    const size_t value_start = label.size() + 3;  // after "label = "
    return value_start < item.size() ? Trim(std::string_view(item).substr(value_start)) : "";
  }
  return {};
}

std::string GetTagText(TTif& tif, int tag_number, int kinds) {
  std::optional<TTagEntry> entry;
  if ((kinds & ikBase) != 0) entry = FindTagEntry(MainTags, tag_number);
  if (!entry && (kinds & ikExif) != 0) entry = FindTagEntry(MainTags, tag_number);
  if (!entry && (kinds & ikGps) != 0) entry = FindTagEntry(GpsTags, tag_number);
  if (!entry && (kinds & ikIPTC) != 0) entry = FindTagEntry(IptcTags, tag_number);
  if (!entry && (kinds & ikMakerNotes) != 0)
    entry = FindTagEntry(MakerTagDictionary(tif.GetMake()), tag_number);
  if (!entry) return {};
  const TTifTag* tag = tif.FindTag(tag_number, kinds);
  if (tag == nullptr) return {};
  std::string result = FormatTagValue(*tag, *entry);
  if (result.empty() && tag_number == kTagISOSpeedRatings) result = GetISO(tif);
  return result;
}

std::string GetTagText(const TTifIFD& directory, int tag_number) {
  const TTifTag* last = nullptr;
  for (const auto& tag : directory.Tags)
    if (tag->TagNumber == tag_number) last = tag.get();
  if (last == nullptr) return {};
  const auto entry = FindTagEntryForKinds(tag_number, ikAll);
  return entry ? FormatTagValue(*last, *entry) : std::string();
}

std::string GetValueByName(TTif& tif, const std::string& name, int kinds) {
  const bool nikon = StartsText("NIKON", tif.GetMake());
  const bool lens = SameText(name, "LensInformation") || SameText(name, "LensInfo");
  if (lens && (tif.IsDng() || !nikon)) return GetLensInfo(tif);
  const std::string wanted = nikon && SameText(name, "LensInfo") ? "LensInformation" : name;
  if (SameText(wanted, "ISO") || SameText(wanted, "ISOSpeedRatings")) return GetISO(tif);
  if (SameText(wanted, "ImageDimension")) return ComputeImgDimensions(tif);
  if (SameText(wanted, "JPGComment")) return tif.GetJpgComment();
  if (SameText(wanted, "XMPExists")) return tif.HasXMP() ? "Yes" : "No";
  return NamedRowValue(tif, wanted, kinds);
}

std::string GetLensInfo(TTif& tif) {
  if (tif.FindTag(kTagDngLensInfo, ikAll) != nullptr) return NamedRowValue(tif, "DNGLensInfo", ikAll);
  const std::string prefix = MakePrefix(tif);
  if (prefix == "NIKON") return NamedRowValue(tif, "LensInformation", ikMakerNotes);
  if (prefix == "MINOL" || prefix == "KONIC") return NamedRowValue(tif, "LensID", ikMakerNotes);
  if (prefix != "CANON") return {};
  std::string shortest = GetValueByName(tif, "LensShortFocal", ikMakerNotes);
  const std::string longest = GetValueByName(tif, "LensLongFocal", ikMakerNotes);
  if (shortest.empty() && longest.empty()) return {};
  if (IsNumericText(shortest) && IsNumericText(longest) && StrToInt(shortest) > StrToInt(longest))
    shortest = longest;
  return shortest + "-" + longest + " mm";
}

std::string GetISO(TTif& tif) {
  if (const TTifTag* iso = tif.FindTag(kTagISOSpeedRatings, ikAll)) return iso->GetValue().AsText();
  const std::string prefix = MakePrefix(tif);
  if (prefix == "NIKON") {
    if (tif.ExifMarkerNotesIFD.Tags.Empty()) tif.ReadMakerNotes(nullptr, 0);
    const TTifTag* iso = tif.ExifMarkerNotesIFD.FindTag(kTagNikonISO);
    return iso == nullptr ? std::string() : LargerOfPair(iso->GetValue().AsText());
  }
  if (prefix == "CANON") {
    std::vector<std::string> lines;
    GetTagList(tif, lines, ikAll);
    for (const std::string& line : lines) {
      if (line.size() < 6 || !StartsText("ISO = ", line)) continue;
      return line.substr(line.find(" = ") + 3);
    }
  }
  return {};
}

std::string TagName(const TTifTag& tag) {
  const auto entry = FindTagEntryForKinds(tag.TagNumber, tag.DictionaryKinds());
  return entry ? std::string(entry->Name) : std::string();
}

std::string TagDescription(const TTifTag& tag) {
  const auto entry = FindTagEntryForKinds(tag.TagNumber, tag.DictionaryKinds());
  return entry ? std::string(entry->Label()) : std::string();
}

std::string TagValue(const TTifTag& tag) {
  const auto entry = FindTagEntryForKinds(tag.TagNumber, tag.DictionaryKinds());
  return entry ? FormatTagValue(tag, *entry) : std::string();
}

}  // namespace morvane
