// The tag dictionary: constant rows that give a tag number its name, its label and the rule that
// turns its value into text, and the lookups over them. Lookups scan in table order (the first
// match wins), hold DictionaryLock while they scan and hand back a copy of the row.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace morvane {

class TTif;
class TTifIFD;

// A value formatter: from the value text of a tag to its display text.
using TTagFormatter = std::string (*)(const std::string& value_text);

struct TTagEntry {
  uint16_t Record = 0;               // IPTC record (2, or 8 for "Subfile"); 0 elsewhere
  uint16_t Tag = 0;                  // tag number, IPTC dataset, or position in a sub-table
  std::string_view Name{};           // "Skip" in any letter case: left out of tag listings
  std::string_view Description{};    // the label; empty means the Name is the label
  std::string_view Enumeration{};    // "key:text,key:text,..."
  std::string_view FormatString{};   // a printf pattern such as "F%0.1f"
  int32_t MaxLength = 0;             // largest IPTC dataset length; 0 elsewhere
  TTagFormatter Formatter = nullptr;

  std::string_view Label() const { return Description.empty() ? Name : Description; }
};

using TTagDictionary = std::span<const TTagEntry>;

// The first row whose key is tag_number. Numbers outside 0..65535 never match.
std::optional<TTagEntry> FindTagEntry(TTagDictionary dictionary, int tag_number);
// The first row whose Name equals name, ignoring letter case.
std::optional<TTagEntry> FindTagEntryByName(TTagDictionary dictionary, std::string_view name);
std::optional<TTagEntry> FindMainTagEntry(int tag_number);
// The row of a tag by the kinds of its directory alone, without the camera make: MainTags,
// GpsTags, IptcTags, then the Nikon and Canon maker tables.
std::optional<TTagEntry> FindTagEntryForKinds(int tag_number, int kinds);

// The maker-note dictionary of a camera make, chosen by its first five characters; an empty
// dictionary for a make of no known maker.
TTagDictionary MakerTagDictionary(std::string_view make);
// The dictionary that names the maker-note directory in a tag listing. As MakerTagDictionary,
// but a Nikon note is told by its header type or, failing that, by the EXIF version. Throws
// EConvertError when that version is not a whole number.
TTagDictionary MakerNotesTagListDictionary(const TTif& tif, std::string_view make,
                                           const TTifIFD& maker_notes);
// The dictionary of a section of a maker note (a sub-directory of the maker-note directory,
// named by its tag in IFDType); an empty dictionary for a section without one.
TTagDictionary MakerNotesSectionDictionary(std::string_view make, const TTifIFD& section);

// The display text of a value text through a row's value list ("6" -> "Counter Clockwise 90°").
// The value text itself when no item matches.
std::string EnumerationText(const std::string& value_text, std::string_view enumeration);

}  // namespace morvane
