#include "presentation/tag_dictionary.h"

#include <vector>

#include "metadata/tag_numbers.h"
#include "metadata/tif_ifd.h"
#include "metadata/tif_reader.h"
#include "presentation/dictionary_lock.h"
#include "platform/text.h"
#include "presentation/tag_tables.h"

namespace morvane {

std::optional<TTagEntry> FindTagEntry(TTagDictionary dictionary, int tag_number) {
  if (tag_number < 0 || tag_number > 0xFFFF) return std::nullopt;
  TLockGuard guard(DictionaryLock());
  for (const TTagEntry& entry : dictionary)
    if (entry.Tag == tag_number) return entry;
  return std::nullopt;
}

std::optional<TTagEntry> FindTagEntryByName(TTagDictionary dictionary, std::string_view name) {
  TLockGuard guard(DictionaryLock());
  for (const TTagEntry& entry : dictionary)
    if (SameText(entry.Name, name)) return entry;
  return std::nullopt;
}

std::optional<TTagEntry> FindMainTagEntry(int tag_number) {
  return FindTagEntry(MainTags, tag_number);
}

std::optional<TTagEntry> FindTagEntryForKinds(int tag_number, int kinds) {
  std::optional<TTagEntry> entry;
  if ((kinds & (ikBase | ikExif | ikInterExif)) != 0) entry = FindTagEntry(MainTags, tag_number);
  if (!entry && (kinds & ikGps) != 0) entry = FindTagEntry(GpsTags, tag_number);
  if (!entry && (kinds & ikIPTC) != 0) entry = FindTagEntry(IptcTags, tag_number);
  if (!entry && (kinds & ikMakerNotes) != 0) {
    // Without the camera make only the Nikon and Canon tables are consulted.
    const TTagDictionary maker_tables[] = {
        NikonType1Tags, NikonTags,       CanonTags,       CanonCameraSettings, CanonShotInfo,
        CanonFocalLength, CanonPanorama, CanonCameraInfo, CanonColorInfo,      CanonFileInfo,
    };
    for (TTagDictionary table : maker_tables) {
      entry = FindTagEntry(table, tag_number);
      if (entry) break;
    }
  }
  return entry;
}

TTagDictionary MakerTagDictionary(std::string_view make) {
  if (make.size() < 5) return {};
  const std::string_view prefix = make.substr(0, 5);
  if (SameText(prefix, "CANON")) return CanonTags;
  if (SameText(prefix, "NIKON")) return NikonTags;
  if (SameText(prefix, "CASIO")) return CasioTags;
  if (SameText(prefix, "OLYMP")) return OlympusTags;
  if (SameText(prefix, "FUJIF")) return FujifilmTags;
  if (SameText(prefix, "SEIKO")) return SeikoTags;
  if (SameText(prefix, "SANYO")) return SanyoTags;
  if (SameText(prefix, "MINOL") || SameText(prefix, "KONIC")) return MinoltaTags;
  return {};
}

TTagDictionary MakerNotesTagListDictionary(const TTif& tif, std::string_view make,
                                           const TTifIFD& maker_notes) {
  if (!StartsText("NIKON", make)) return MakerTagDictionary(make);
  if (maker_notes.IFDType == "1") return NikonType1Tags;
  if (maker_notes.IFDType == "2" || maker_notes.IFDType == "3") return NikonTags;
  // A note without a known header: EXIF versions after 2.10 came with the later note format.
  const TTifTag* version = tif.FindTag(kTagExifVersion, ikAll);
  if (version != nullptr && StrToInt(version->GetValue().AsText()) > 210) return NikonTags;
  return NikonType1Tags;
}

TTagDictionary MakerNotesSectionDictionary(std::string_view make, const TTifIFD& section) {
  if (!StartsText("OLYMP", make)) return {};
  if (section.IFDType == std::to_string(kTagOlympusEquipment)) return OlympusEquipmentTags;
  if (section.IFDType == std::to_string(kTagOlympusCameraSettings)) return OlympusCameraSettingsTags;
  return {};
}

namespace {

struct TEnumerationItem {
  std::string_view Key;
  std::string_view Text;
};

bool IsBlankChar(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view TrimView(std::string_view text) {
  while (!text.empty() && IsBlankChar(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankChar(text.back())) text.remove_suffix(1);
  return text;
}

// Whether `text` starts with a key directly followed by ":" ("21:1600").
bool StartsWithKey(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && !IsBlankChar(text[i]) && text[i] != ':' && text[i] != ';' &&
         text[i] != ',')
    ++i;
  return i > 0 && i < text.size() && text[i] == ':';
}

// The items of a value list "key:text,key:text,...". Items are separated by commas; the text of
// an item runs from the first ":" on. Three irregular forms that hand-written lists contain are
// read as their writers meant them: a piece without ":" or "=" continues the text of the item
// before it (the comma was part of that text: "29:Auto; Fired, Return Undetected"); an item
// without ":" takes "=" as its separator ("0=Normal"); a ";" directly followed by "key:" starts
// a new item ("20:800;21:1600"), and a ";" that ends the list is dropped ("1:Macro;").
std::vector<TEnumerationItem> EnumerationItems(std::string_view enumeration) {
  std::vector<std::string_view> raw;
  size_t start = 0;
  while (start <= enumeration.size()) {
    size_t comma = enumeration.find(',', start);
    if (comma == std::string_view::npos) comma = enumeration.size();
    const std::string_view piece = enumeration.substr(start, comma - start);
    const bool continues = !raw.empty() && piece.find(':') == std::string_view::npos &&
                           piece.find('=') == std::string_view::npos;
    if (continues) {
      // Widen the previous item over the comma and this piece (they are contiguous).
      raw.back() = std::string_view(raw.back().data(),
                                    static_cast<size_t>(piece.data() + piece.size() -
                                                        raw.back().data()));
    } else {
      raw.push_back(piece);
    }
    start = comma + 1;
  }
  if (!raw.empty() && !raw.back().empty() && raw.back().back() == ';')
    raw.back().remove_suffix(1);

  std::vector<TEnumerationItem> items;
  for (std::string_view item : raw) {
    // Split off items that a ";" joins to this one.
    for (;;) {
      size_t cut = std::string_view::npos;
      for (size_t i = item.find(';'); i != std::string_view::npos; i = item.find(';', i + 1)) {
        if (StartsWithKey(item.substr(i + 1))) {
          cut = i;
          break;
        }
      }
      const std::string_view head = item.substr(0, cut);
      const std::string_view trimmed = TrimView(head);
      size_t separator = trimmed.find(':');
      if (separator == std::string_view::npos) separator = trimmed.find('=');
      if (separator == std::string_view::npos) {
        items.push_back({std::string_view(), trimmed});
      } else {
        items.push_back({TrimView(trimmed.substr(0, separator)),
                         TrimView(trimmed.substr(separator + 1))});
      }
      if (cut == std::string_view::npos) break;
      item = item.substr(cut + 1);
    }
  }
  return items;
}

}  // namespace

std::string EnumerationText(const std::string& value_text, std::string_view enumeration) {
  if (enumeration.empty()) return value_text;
  for (const TEnumerationItem& item : EnumerationItems(enumeration))
    if (SameText(item.Key, value_text)) return std::string(item.Text);
  return value_text;
}

}  // namespace morvane
