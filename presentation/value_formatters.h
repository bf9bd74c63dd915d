// Turns one tag's value into the text a photographer reads: the row's formatter, its value list
// or its format pattern, else the raw value text. Formatting never raises; a value that cannot
// be read shows what was made of it so far.
#pragma once

#include <string>
#include <string_view>

#include "metadata/comma_text.h"
#include "presentation/tag_dictionary.h"

namespace morvane {

class TTifTag;

// The display text of a tag with its dictionary row. Holds DictionaryLock throughout.
std::string FormatTagValue(const TTifTag& tag, const TTagEntry& entry);

// "28/10" -> 2.8, "1 1/2" -> 1.5, "5/0" -> 5; a text without "/" is a denominator ("3" -> 0).
// 0 for any text that does not read as whole numbers.
double ReadRational(std::string_view text);

// The marker in front of an expanded value: its items are "label = value" texts in double quotes.
inline constexpr std::string_view kInlineMarker = "INLINE;";

// The named formatters the dictionary rows refer to.
std::string FormatLensRange(const std::string& value_text);
std::string FormatColorMode(const std::string& value_text);
std::string FormatNothing(const std::string& value_text);
std::string FormatGpsVersion(const std::string& value_text);
std::string FormatGpsCoordinate(const std::string& value_text);
std::string FormatGpsTime(const std::string& value_text);
std::string FormatComponents(const std::string& value_text);
std::string FormatUserComment(const std::string& value_text);
std::string FormatShutterSpeed(const std::string& value_text);
std::string FormatPresence(const std::string& value_text);
std::string FormatPrivateData(const std::string& value_text);

// The settings of a comma-separated value list, each named by the sub-table row of its position:
// "INLINE;" followed by "label = value" items in double quotes, separated by ",". Reads the
// list only as far as the sub-table's last position; `work`, when given, receives that reading.
std::string ExpandSubTable(const std::string& value_text, TTagDictionary sub_table,
                           TCommaTextWork* work = nullptr);
// The Minolta settings block (bytes in file order: big-endian 32-bit settings, position n in
// bytes 4n to 4n+3), expanded through MinoltaCameraSettings.
std::string ExpandMinoltaSettings(const std::string& value_text);

}  // namespace morvane
