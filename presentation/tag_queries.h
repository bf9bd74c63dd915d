// The tag queries that need the dictionary, beside the reading operations of the metadata model:
// the display text of a tag chosen by number or by name, the lens and the ISO speed of a shot,
// and the item of an expanded maker-note value.
#pragma once

#include <string>

#include "presentation/tag_dictionary.h"

namespace morvane {

class TTif;
class TTifIFD;
class TTifTag;

// The display text of tag `tag_number` in the directories named by `kinds` (ik* bits); empty
// when the dictionary has no row for it or the file holds no such tag.
std::string GetTagText(TTif& tif, int tag_number, int kinds);
// The display text of the last tag with that number in the one directory; empty when there is
// none or the dictionaries have no row for it.
std::string GetTagText(const TTifIFD& directory, int tag_number);
// The dictionary properties of a tag, from the tables of the directory kinds that hold it:
// its name, its label and its formatted value; empty when the tables have no row for it.
std::string TagName(const TTifTag& tag);
std::string TagDescription(const TTifTag& tag);
std::string TagValue(const TTifTag& tag);
// The display text of a value chosen by its dictionary name, or one of the computed values
// ("ISO", "ImageDimension", "JPGComment", "XMPExists", the lens).
std::string GetValueByName(TTif& tif, const std::string& name, int kinds);
// The lens of the shot as the camera's maker records it; empty when unknown.
std::string GetLensInfo(TTif& tif);
// The ISO speed: the EXIF value, else the maker note's.
std::string GetISO(TTif& tif);

// The text of one setting of an expanded value: the item of the parent tag's expansion whose
// label is that of `row`, after "label = ". Empty when the parent is absent, has no row in
// `dictionary`, or holds no such item.
std::string GetSubValue(TTagDictionary dictionary, const TTifTag* parent, const TTagEntry& row);

}  // namespace morvane
